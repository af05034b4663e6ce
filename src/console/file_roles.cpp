// File roles. A file that exists is known by device and inode, which no
// spelling or link can hide; one that does not exist yet by its absolute path
// with the links of its folder resolved, which is where it will be created.
#include "console/file_roles.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/bad_input.h"

static const char* const RoleName[] = {"network", "model", "listing", "partition", "environment", "result"};

std::string FolderOf(const std::string& name) {
    size_t slash = name.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : name.substr(0, slash);
}

// The absolute path of name with every link resolved that exists: the whole
// name, or its folder when the file itself does not exist yet.
static std::string ResolvedPath(const std::string& name) {
    char resolved[PATH_MAX];
    if (realpath(name.c_str(), resolved) != nullptr) return resolved;
    size_t slash = name.find_last_of('/');
    std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    if (realpath(FolderOf(name).c_str(), resolved) == nullptr) return name;
    std::string path = resolved;
    if (path.back() != '/') path += '/';
    return path + base;
}

// False for a file that holds no data of its own to lose (a device, a pipe,
// a folder): such a name is not claimed.
static bool IdentityOf(const std::string& name, FileClaim& claim) {
    struct stat info;
    claim.Exists = stat(name.c_str(), &info) == 0;
    if (claim.Exists && !S_ISREG(info.st_mode)) return false;
    claim.Device = claim.Exists ? static_cast<uint64_t>(info.st_dev) : 0;
    claim.Inode = claim.Exists ? static_cast<uint64_t>(info.st_ino) : 0;
    claim.Path = ResolvedPath(name);
    return true;
}

static bool SameFile(const FileClaim& a, const FileClaim& b) {
    if (a.Exists && b.Exists && a.Device == b.Device && a.Inode == b.Inode) return true;
    return a.Path == b.Path;
}

// Forgets what role named before; the result files are a group that only
// ever grows, one claim each.
static void ForgetRole(FileRole role) {
    if (role == ResultRole) return;
    int32_t kept = 0;
    for (int32_t k = 0; k < NumFileClaims; ++k) {
        if (FileClaims[k].Role != role) FileClaims[kept++] = FileClaims[k];
    }
    NumFileClaims = kept;
}

void ClaimFile(FileRole role, const std::string& name) {
    FileClaim claim{};
    claim.Role = role;
    if (!IdentityOf(name, claim)) return;
    for (int32_t k = 0; k < NumFileClaims; ++k) {
        const FileClaim& other = FileClaims[k];
        if (other.Role == role || !SameFile(claim, other)) continue;
        StopOnBadInput("Same file as the %s file: %s", RoleName[other.Role], name.c_str());
    }
    ForgetRole(role);
    if (NumFileClaims < MaxFileClaims) FileClaims[NumFileClaims++] = claim;
}

// A socket bound to a name in the abstract namespace of local sockets: it
// holds the name while the process lives and vanishes with it, however the
// process ends, so nothing is left in the folder that a user would see or
// that a killed run would leave stale. The name is a hash of the path, which
// may be longer than a socket name.
bool HoldNameAgainstOtherRuns(const std::string& name) {
    if (ResultNamesLock >= 0) close(ResultNamesLock);
    ResultNamesLock = -1;
    std::string path = ResolvedPath(name);
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : path) hash = (hash ^ c) * 1099511628211ull;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    int length = std::snprintf(address.sun_path + 1, sizeof address.sun_path - 1, "korvel-results-%016llx",
                               static_cast<unsigned long long>(hash));
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // A system without local sockets cannot tell: the run goes on unheld.
    if (fd < 0) return true;
    socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<size_t>(length));
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0) {
        bool taken = errno == EADDRINUSE;
        close(fd);
        return !taken;
    }
    ResultNamesLock = fd;
    return true;
}
