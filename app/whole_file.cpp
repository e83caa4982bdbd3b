// whole_file.cpp: see whole_file.h.
#include "app/whole_file.h"

#include <errno.h>
#include <fcntl.h>

bool writeAllBytes(int fd, const unsigned char* bytes, size_t size,
                   ssize_t (*writer)(int, const void*, size_t)) {
    while (size > 0) {
        const ssize_t written = writer(fd, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes += written, size -= (size_t)written;
    }
    return true;
}

void syncFolder(const char* folder) {
    const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}
