// whole_file.h: the pieces every file the game writes is made with, so that
// a screenshot, a save and a recording are each complete or absent the same
// way: written out in full to a hidden temporary file, flushed, then given
// their name, and the folder flushed so that the name survives a power cut.
// And the one way a file the game is given (a save, a recording) is read.
// Core library: POSIX calls, no SDL.
#pragma once

#include <stddef.h>
#include <sys/types.h>
#include <unistd.h>

#include <vector>

// Writes all size bytes to fd through writer (write(2) but in tests),
// retrying short writes and interrupted calls. A writer that writes nothing
// is taken for a full disk. False with errno set when a byte could not be
// written.
bool writeAllBytes(int fd, const unsigned char* bytes, size_t size,
                   ssize_t (*writer)(int, const void*, size_t) = write);

// Flushes the folder's entries, so that a rename in it is on the disk too.
// Best effort: a folder that cannot be opened is left as it is.
void syncFolder(const char* folder);

enum WholeFileOutcome { WholeFileDone, WholeFileMissing, WholeFileRefused };
// Reads the file at path whole into bytes: only a plain file, opened without
// waiting (a named pipe with no writer would hold the game for ever), and only
// one of at most maxBytes (a device such as /dev/zero never ends). Missing
// when there is no such file; refused otherwise, with why saying why in a few
// words ("is not a plain file", "is larger than 1024 bytes", ...).
WholeFileOutcome readWholeFile(const char* path, size_t maxBytes, std::vector<unsigned char>& bytes,
                               char* why, size_t whySize);
