// whole_file.h: the pieces every file the game writes is made with, so that
// a screenshot, a save and a recording are each complete or absent the same
// way: written out in full to a hidden temporary file, flushed, then given
// their name, and the folder flushed so that the name survives a power cut.
// Core library: POSIX calls, no SDL.
#pragma once

#include <stddef.h>
#include <sys/types.h>
#include <unistd.h>

// Writes all size bytes to fd through writer (write(2) but in tests),
// retrying short writes and interrupted calls. A writer that writes nothing
// is taken for a full disk. False with errno set when a byte could not be
// written.
bool writeAllBytes(int fd, const unsigned char* bytes, size_t size,
                   ssize_t (*writer)(int, const void*, size_t) = write);

// Flushes the folder's entries, so that a rename in it is on the disk too.
// Best effort: a folder that cannot be opened is left as it is.
void syncFolder(const char* folder);
