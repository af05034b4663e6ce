// File selection and opening. A file asked for reading that does not exist is
// created empty, as the family's programs always did, and then read as empty.
#include "console/file_select.h"

#include <sys/stat.h>

#include "console/output.h"
#include "console/prompts.h"
#include "console/text_input.h"

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
        const char* keyword;
        ReadAnswer(NewFilePrompt, line, keyword);
        if (line.empty()) return;
        // A name is saved as one line of the environment file: a line end or
        // Ctrl-Z inside it is not a name.
        if (line.find_first_of("\r\x1a") == std::string::npos) name = line;
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

FILE* OpenOutputFile(FileMode mode, std::string& name, const char* description) {
    SelectFile(description, name);
    if (mode == WriteMode || !FileExists(name)) {
        ConLine("Rewrite %s", name.c_str());
        if (IsFolder(name)) return nullptr;
        return std::fopen(name.c_str(), "wb");
    }
    ConLine("Append %s", name.c_str());
    if (IsFolder(name)) return nullptr;
    return std::fopen(name.c_str(), "ab");
}

bool OpenInputFile(TextFile& file, std::string& name, const char* description) {
    SelectFile(description, name);
    if (!FileExists(name)) {
        ConLine("Rewrite %s", name.c_str());
        FILE* created = std::fopen(name.c_str(), "wb");
        if (created == nullptr) return false;
        std::fclose(created);
    } else {
        ConLine("Reset %s", name.c_str());
    }
    return OpenTextFile(file, name.c_str());
}
