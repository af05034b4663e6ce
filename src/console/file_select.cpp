// File selection and opening. A file asked for reading that does not exist is
// created empty, as the family's programs always did, and then read as empty;
// a scripted run, whose names nobody typed at a question, stops on it instead.
// Files written are locked against a second run in the same folder, which
// would otherwise interleave its pages or overwrite its clusterings.
#include "console/file_select.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "console/bad_input.h"
#include "console/file_roles.h"
#include "console/output.h"
#include "console/prompts.h"
#include "console/text_input.h"
#include "console/visible_text.h"

void SelectFile(const char* description, std::string& name) {
    std::string shown(description);
    if (shown.size() > 40) shown.resize(40);
    ConEndLine();
    ConLine("SELECT FILE: %s", shown.c_str());
    ConLine("Press RETURN to confirm current value");
    static const char* const NewFilePrompt = "New file     = ";
    std::string line;
    for (;;) {
        ConLine("Current file = %s", name.c_str());
        ConPrint("%s", NewFilePrompt);
        // A scripted run names its files by keyword: each name is confirmed.
        GivenAnswer confirm{"", ""};
        ReadAnswer(ScriptedRun ? &confirm : nullptr, line);
        if (line.empty()) return;
        // A name is saved as one line of the environment file and shown in
        // messages: a control character inside it (a line end or Ctrl-Z
        // among them) makes it no name.
        if (!HasControlCharacter(line)) name = line;
    }
}

bool FileExists(const std::string& name) {
    struct stat info;
    return stat(name.c_str(), &info) == 0;
}

static bool IsFolder(const std::string& name) {
    struct stat info;
    return stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Takes the platform's advisory lock on an open file; it lasts while the file
// stays open and ends with the process, so a crash leaves nothing behind.
// False, with the console line, when another run holds the file. A file
// system without locks lets the run go on unlocked. Only regular files are
// locked: any number of runs may write to a device such as /dev/null.
static bool LockOpenFile(int fd, int kind, const std::string& name) {
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return true;
    int result;
    do {
        result = flock(fd, kind | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0 || errno != EWOULDBLOCK) return true;
    FileInUse = true;
    ConMessage("In use by another run: %s", name.c_str());
    return false;
}

// Empties a regular file (a device such as /dev/null has nothing to empty).
static bool EmptyFile(int fd) {
    struct stat info;
    if (fstat(fd, &info) != 0) return false;
    return !S_ISREG(info.st_mode) || info.st_size == 0 || ftruncate(fd, 0) == 0;
}

FILE* OpenOutputFile(FileMode mode, std::string& name, const char* description, FileRole role) {
    SelectFile(description, name);
    return OpenSelectedOutputFile(mode, name, role);
}

FILE* OpenSelectedOutputFile(FileMode mode, const std::string& name, FileRole role) {
    ClaimFile(role, name);
    FileInUse = false;
    bool append = mode == AppendMode;
    ConLine(append && FileExists(name) ? "Append %s" : "Rewrite %s", name.c_str());
    if (IsFolder(name)) return nullptr;
    // Opened without emptying it: a file another run is writing is emptied
    // only once this run holds its lock, which it then does not get.
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : 0), 0666);
    if (fd < 0) return nullptr;
    if (!LockOpenFile(fd, LOCK_EX, name) || (!append && !EmptyFile(fd))) {
        close(fd);
        return nullptr;
    }
    FILE* file = fdopen(fd, append ? "ab" : "wb");
    if (file == nullptr) close(fd);
    return file;
}

void RequireExistingFile(const std::string& name) {
    if (!FileExists(name)) StopOnBadInput("No such file: %s", name.c_str());
}

bool OpenInputFile(TextFile& file, std::string& name, const char* description, FileRole role) {
    SelectFile(description, name);
    // A scripted run asks no names: one that does not exist is mistyped.
    if (ScriptedRun) RequireExistingFile(name);
    ClaimFile(role, name);
    FileInUse = false;
    if (!FileExists(name)) {
        ConLine("Rewrite %s", name.c_str());
        int created = open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (created < 0) return false;
        close(created);
    } else {
        ConLine("Reset %s", name.c_str());
    }
    return OpenTextFile(file, name.c_str());
}

bool LockForReading(TextFile& file, const std::string& name) {
    if (file.Handle == nullptr) return true;
    if (LockOpenFile(fileno(file.Handle), LOCK_SH, name)) return true;
    CloseTextFile(file);
    return false;
}
