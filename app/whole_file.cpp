// whole_file.cpp: see whole_file.h.
#include "app/whole_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

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

WholeFileOutcome readWholeFile(const char* path, size_t maxBytes, std::vector<unsigned char>& bytes,
                               char* why, size_t whySize) {
    bytes.clear();
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT) {
            return WholeFileMissing;
        }
        snprintf(why, whySize, "cannot be opened: %s", strerror(errno));
        return WholeFileRefused;
    }
    struct stat info;
    memset(&info, 0, sizeof info);
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        snprintf(why, whySize, "is not a plain file");
        return WholeFileRefused;
    }
    if ((size_t)info.st_size > maxBytes) {
        close(fd);
        snprintf(why, whySize, "is larger than %zu bytes", maxBytes);
        return WholeFileRefused;
    }
    // A file that shrinks while read gives what it still holds; one that
    // grows, no more than it held.
    bytes.resize((size_t)info.st_size);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int readError = errno;
            close(fd);
            snprintf(why, whySize, "cannot be read: %s", strerror(readError));
            return WholeFileRefused;
        }
        if (got == 0) {
            break;
        }
        done += (size_t)got;
    }
    close(fd);
    bytes.resize(done);
    return WholeFileDone;
}
