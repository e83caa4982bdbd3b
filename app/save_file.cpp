// save_file.cpp: writing, locking and reading the kept cave's files.
#include "app/save_file.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include "app/whole_file.h"
#include "game/save.h"

ssize_t (*saveWriteHook)(int fd, const void* bytes, size_t size) = write;

static void joinPath(char* out, size_t outSize, const char* folder, const char* name) {
    snprintf(out, outSize, "%s/%s", folder, name);
}

// The old save becomes the backup while cave.sav keeps existing: a hard link,
// so no instant passes without a complete cave.sav. Without hard links the
// old save is moved instead, and the reader falls back on cave.bak.
static bool keepBackup(const char* save, const char* backup) {
    if (access(save, F_OK) != 0) {
        return true; // the first save: nothing to keep
    }
    if (unlink(backup) != 0 && errno != ENOENT) {
        return false;
    }
    if (link(save, backup) == 0) {
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS && errno != EMLINK) {
        return false;
    }
    return rename(save, backup) == 0;
}

bool writeSaveFile(const char* folder, const std::vector<unsigned char>& bytes, char* why,
                   size_t whySize) {
    char temporary[PATH_MAX] = "", save[PATH_MAX] = "", backup[PATH_MAX] = "";
    char name[64] = "";
    snprintf(name, sizeof name, ".cave-%d.tmp", (int)getpid());
    joinPath(temporary, sizeof temporary, folder, name);
    joinPath(save, sizeof save, folder, "cave.sav");
    joinPath(backup, sizeof backup, folder, "cave.bak");

    const int fd = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        snprintf(why, whySize, "cannot create a file in %s: %s", folder, strerror(errno));
        return false;
    }
    const char* step = "cannot write";
    bool done = writeAllBytes(fd, bytes.data(), bytes.size(), saveWriteHook);
    if (done) {
        step = "cannot flush";
        done = fsync(fd) == 0;
    }
    if (close(fd) != 0 && done) {
        step = "cannot close";
        done = false;
    }
    if (done) {
        step = "cannot keep the backup";
        done = keepBackup(save, backup);
    }
    if (done) {
        step = "cannot rename";
        done = rename(temporary, save) == 0;
    }
    if (!done) {
        snprintf(why, whySize, "%s %s: %s", step, temporary, strerror(errno));
        unlink(temporary);
        return false;
    }
    syncFolder(folder);
    return true;
}

int lockSaveFolder(const char* folder) {
    char path[PATH_MAX] = "";
    joinPath(path, sizeof path, folder, "cave.lock");
    const int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return -2;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        close(fd);
        return held ? -1 : -2;
    }
    return fd;
}

// ---------------------------------------------------------------------------
// Reading at start
// ---------------------------------------------------------------------------

// Largest file worth reading: the largest payload compressed, plus the header.
static size_t largestSaveFile() {
    return (size_t)compressBound(SAVE_MAX_PAYLOAD) + SAVE_HEADER_SIZE;
}

enum ReadOutcome { SaveMissing, SaveSound, SaveDamaged };

static ReadOutcome readSave(const char* path, SaveSnapshot& snapshot, char* why, size_t whySize) {
    std::vector<unsigned char> bytes;
    const WholeFileOutcome read = readWholeFile(path, largestSaveFile(), bytes, why, whySize);
    if (read != WholeFileDone) {
        return read == WholeFileMissing ? SaveMissing : SaveDamaged;
    }
    return decodeSave(bytes.data(), bytes.size(), snapshot, why, whySize) ? SaveSound : SaveDamaged;
}

// Renames a damaged file to the first free cave-bad-N.sav; fills kept.
static bool setAside(const char* folder, const char* path, char* kept, size_t keptSize) {
    for (int n = 1; n < 100000; ++n) {
        char name[64] = "";
        snprintf(name, sizeof name, "cave-bad-%d.sav", n);
        char target[PATH_MAX] = "";
        joinPath(target, sizeof target, folder, name);
        if (access(target, F_OK) == 0) {
            continue;
        }
        if (rename(path, target) != 0) {
            return false;
        }
        snprintf(kept, keptSize, "%s", name);
        return true;
    }
    return false;
}

// One stderr line for a damaged file, which is then kept out of the way.
static void reportDamaged(const char* folder, const char* path, const char* name, const char* why,
                          const char* next) {
    char kept[64] = "";
    if (setAside(folder, path, kept, sizeof kept)) {
        fprintf(stderr, "hollowmark: %s %s%s, kept as %s; %s\n", name,
                strncmp(why, "is ", 3) == 0 ? "" : "is unusable: ", why, kept, next);
    } else {
        fprintf(stderr, "hollowmark: %s %s%s and cannot be renamed (%s); %s\n", name,
                strncmp(why, "is ", 3) == 0 ? "" : "is unusable: ", why, strerror(errno), next);
    }
}

bool loadSaveFolder(const char* folder, SaveSnapshot& snapshot) {
    char save[PATH_MAX] = "", backup[PATH_MAX] = "";
    joinPath(save, sizeof save, folder, "cave.sav");
    joinPath(backup, sizeof backup, folder, "cave.bak");
    char why[160] = "";
    const ReadOutcome first = readSave(save, snapshot, why, sizeof why);
    if (first == SaveSound) {
        return true;
    }
    char backupWhy[160] = "";
    const ReadOutcome second = readSave(backup, snapshot, backupWhy, sizeof backupWhy);
    const char* next = second == SaveSound ? "continuing from cave.bak" : "starting a new cave";
    if (first == SaveDamaged) {
        reportDamaged(folder, save, "cave.sav", why, next);
    }
    if (second == SaveDamaged) {
        reportDamaged(folder, backup, "cave.bak", backupWhy, "starting a new cave");
    }
    return second == SaveSound;
}
