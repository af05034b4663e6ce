// Whole files. The new text goes to a file with no name (where the system
// offers one), which is given a short hidden name only once it is complete and
// then renamed over the old file: a run killed while writing leaves nothing
// behind, one killed between the two renames a hidden file of a few bytes'
// name, and a name of any valid length works because the temporary name does
// not grow with it.
#include "console/whole_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "console/file_roles.h"
#include "console/output.h"

bool ReplacementMode(const std::string& name, mode_t& mode) {
    struct stat info;
    if (stat(name.c_str(), &info) != 0) {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
        return true;
    }
    // The folder alone would let the rename replace a file made read-only.
    // The superuser, whom the system lets write anything, is held to the
    // write bits, so that a file read-only for everybody stays so for him too.
    if (access(name.c_str(), W_OK) != 0) return false;
    if (geteuid() == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    mode = info.st_mode & 07777;
    return true;
}

// A short hidden name in folder that is not taken yet, different on every
// call; the run's random generator is not touched, so that seeded series stay
// as they are.
static std::string TemporaryName(const std::string& folder) {
    static unsigned counter;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    unsigned long long mix = static_cast<unsigned long long>(now.tv_nsec) ^
                             (static_cast<unsigned long long>(getpid()) << 20) ^ (++counter * 2654435761ull);
    char name[16];
    std::snprintf(name, sizeof name, ".k%06llx", mix & 0xffffff);
    return folder + "/" + name;
}

// Gives the unnamed file fd a temporary name in folder; false when it cannot.
static bool NameUnnamedFile(int fd, const std::string& folder, std::string& temporary) {
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    for (int tries = 0; tries < 100; ++tries) {
        temporary = TemporaryName(folder);
        if (linkat(AT_FDCWD, self, AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno != EEXIST) break;
    }
    temporary.clear();
    return false;
}

// A new file under a temporary name, for systems without unnamed files.
static int CreateNamedFile(const std::string& folder, std::string& temporary) {
    for (int tries = 0; tries < 100; ++tries) {
        temporary = TemporaryName(folder);
        int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

static bool WriteNewFile(int fd, const std::string& bytes, mode_t mode) {
    return WriteWhole(fd, bytes.data(), bytes.size()) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
}

bool ReplaceWholeFile(const std::string& name, const std::string& bytes, mode_t mode) {
    std::string folder = FolderOf(name);
    std::string temporary;
    bool written;
    // An unnamed file is named through /proc; a file system without unnamed
    // files, or a system without /proc, gets a named one from the start.
    int fd = access("/proc/self/fd", F_OK) == 0 ? open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600) : -1;
    if (fd >= 0) {
        written = WriteNewFile(fd, bytes, mode) && NameUnnamedFile(fd, folder, temporary);
    } else {
        fd = CreateNamedFile(folder, temporary);
        if (fd < 0) return false;
        written = WriteNewFile(fd, bytes, mode);
    }
    written = close(fd) == 0 && written;
    written = written && std::rename(temporary.c_str(), name.c_str()) == 0;
    if (!written && !temporary.empty()) unlink(temporary.c_str());
    return written;
}
