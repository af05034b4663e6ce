// Command-line keywords. Arguments are read twice: once for env= alone, before
// the environment is loaded, then all of them, so that they win over the file.
#include "settings/keywords.h"

#include <cctype>
#include <cstring>
#include <string>

#include "console/output.h"
#include "console/text_input.h"
#include "console/visible_text.h"
#include "state.h"

// Keywords whose value is a file name.
struct FileKeyword {
    const char* Keyword;
    std::string* Name;
};
static const FileKeyword FileKeywords[] = {
    {"raw", &RawFileName}, {"net", &NetFileName}, {"nam", &NamFileName},
    {"env", &EnvFileName}, {"var", &VarFileName}, {"lst", &LstFileName},
    {"zep", &PartFileName}, {"mdl", &MdlFileName}, {"ext", &ExtFileName},
    {"tex", &ExtFileName}, {"dis", &DisFileName},
};

// Keywords whose value is a number; all but units keep the low 16 bits.
struct NumberKeyword {
    const char* Keyword;
    int32_t* Wide;
    uint16_t* Narrow;
};
static const NumberKeyword NumberKeywords[] = {
    {"units", &EnvUnits, nullptr}, {"vars", nullptr, &EnvVars},
    {"debug", nullptr, &DebugLevel}, {"source", nullptr, &EnvSource},
    {"dism", nullptr, &EnvDism}, {"assc", nullptr, &EnvAssc},
    {"norm", nullptr, &EnvNorm},
};

std::string Lowered(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

void ScanEnvKeyword() {
    EnvFileName = "Tebra.ENV";
    for (int i = 1; i < ArgCount; ++i) {
        const char* argument = ArgValues[i];
        const char* equals = std::strchr(argument, '=');
        if (equals == nullptr) continue;
        // A name with a control character is no name; ApplyCommandLine says so.
        if (Lowered(std::string(argument, equals)) == "env" && !HasControlCharacter(equals + 1)) {
            EnvFileName = equals + 1;
        }
    }
}

void ApplyCommandLine() {
    for (int i = 1; i < ArgCount; ++i) {
        const char* argument = ArgValues[i];
        if (Debugging()) ConLine("%5d %s", i, argument);
        const char* equals = std::strchr(argument, '=');
        if (equals == nullptr) continue;
        std::string keyword(argument, equals);
        const char* value = equals + 1;
        if (Debugging()) ConLine(">>> %s = %s", keyword.c_str(), value);
        std::string lower = Lowered(keyword);
        for (const FileKeyword& entry : FileKeywords) {
            if (lower != entry.Keyword) continue;
            // A line end or Ctrl-Z in a name would break the environment file
            // that the name is saved to; no control character may reach the
            // messages that show it.
            if (HasControlCharacter(value)) {
                ConLine("Ignored argument: %s", argument);
            } else {
                *entry.Name = value;
            }
        }
        for (const NumberKeyword& entry : NumberKeywords) {
            if (lower != entry.Keyword) continue;
            int32_t number;
            if (!ParseInt32(value, number)) {
                ConLine("Ignored argument: %s", argument);
            } else if (entry.Wide != nullptr) {
                *entry.Wide = number;
            } else {
                *entry.Narrow = static_cast<uint16_t>(number);
            }
        }
    }
}

bool IsSettingKeyword(const std::string& keyword) {
    for (const FileKeyword& entry : FileKeywords)
        if (keyword == entry.Keyword) return true;
    for (const NumberKeyword& entry : NumberKeywords)
        if (keyword == entry.Keyword) return true;
    return false;
}

const char* KeywordValue(int i, const char* keyword) {
    const char* argument = ArgValues[i];
    const char* equals = std::strchr(argument, '=');
    if (equals == nullptr || Lowered(std::string(argument, equals)) != keyword) return nullptr;
    return equals + 1;
}
