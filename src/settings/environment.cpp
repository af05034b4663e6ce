// The environment file. It is replaced whole, so that a failed write never
// leaves it half written; the entries this program does not use are carried unchanged.
// Since the file is shared by the family, often through a symbolic link, the
// link is followed and the replaced file keeps its permissions.
#include "settings/environment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "console/file_roles.h"
#include "console/file_select.h"
#include "console/output.h"
#include "console/text_input.h"
#include "console/visible_text.h"
#include "console/whole_files.h"

void SetEnvironmentDefaults() {
    UserText = "ORVEN public version";
    Title = "ORVEN / PC - network structure analysis";
    RawFileName = "*.RAW";
    NetFileName = "*.NET";
    NamFileName = "*.NAM";
    VarFileName = "*.VAR";
    LstFileName = "Model.LST";
    PartFileName = "Model.ZEP";
    MdlFileName = "*.MDL";
    ExtFileName = "*.EXT";
    DisFileName = "*.DIS";
    EnvUnits = 0;
    EnvVars = 0;
    DebugLevel = 0;
    EnvSource = 0;
    EnvDism = 0;
    EnvAssc = 0;
    EnvNorm = 0;
}

// Why the environment file could not be read or written.
enum class EnvFailure { None, Write, ForeignLink };

// The file the environment name stands for. A symbolic link is followed to
// the file it points at (a relative link from the link's own folder), so that
// the file the family shares through the link is the one replaced and the
// link stays. Only a link of this user or of the owner of its folder is
// followed: in a folder others may write to, another user's link would make
// this run replace a file of its choosing. A chain of links that never ends
// cannot be written.
static EnvFailure EnvironmentTarget(std::string& target) {
    target = EnvFileName;
    for (int links = 0; links < 40; ++links) {
        struct stat info;
        if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return EnvFailure::None;
        struct stat folderInfo;
        bool folderOwner = stat(FolderOf(target).c_str(), &folderInfo) == 0 && folderInfo.st_uid == info.st_uid;
        if (info.st_uid != geteuid() && !folderOwner) return EnvFailure::ForeignLink;
        char link[4096];
        ssize_t n = readlink(target.c_str(), link, sizeof link);
        if (n <= 0 || static_cast<size_t>(n) == sizeof link) return EnvFailure::Write;
        size_t slash = target.rfind('/');
        if (link[0] == '/' || slash == std::string::npos) {
            target.assign(link, static_cast<size_t>(n));
        } else {
            target = target.substr(0, slash + 1) + std::string(link, static_cast<size_t>(n));
        }
    }
    return EnvFailure::Write;
}

void LoadEnvironment() {
    SetEnvironmentDefaults();
    ConLine("Load ENV file %s", EnvFileName.c_str());
    if (!FileExists(EnvFileName)) {
        SaveEnvironment();
    } else {
        TextFile file{};
        std::string target;
        EnvFailure failure = EnvironmentTarget(target);
        bool read = failure == EnvFailure::None && OpenTextFile(file, target.c_str());
        if (read) {
            ReadEnvironment(file);
            read = !file.ReadFailed;
            CloseTextFile(file);
        }
        if (failure == EnvFailure::ForeignLink) {
            // Not read either: what another user's link points at is not this run's settings.
            ConLine("Cannot read ENV file %s: the link belongs to another user", EnvFileName.c_str());
            SetEnvironmentDefaults();
        } else if (!read) {
            ConLine("Cannot read ENV file %s", EnvFileName.c_str());
            SetEnvironmentDefaults();
        }
    }
    ClaimFile(EnvironmentRole, EnvFileName);
    if (Debugging()) ShowEnvironment();
}

// One number of line `line`; a token that is no integer keeps the default.
static void ReadEnvNumber(TextFile& file, int line, int32_t& value) {
    char token[TokenSize];
    int32_t number;
    if (ReadInt(file, number, token)) {
        value = number;
    } else {
        ConLine("Bad number in ENV file, line %d", line);
    }
}

static void ReadEnvNumber16(TextFile& file, int line, uint16_t& value) {
    int32_t number = value;
    ReadEnvNumber(file, line, number);
    value = static_cast<uint16_t>(number);
}

// The title or a name, from line `line`. One that holds a control character
// keeps the value it has (the default), as a name or title typed with one is
// refused: it could break the file when saved and act on the terminal when shown.
static void ReadEnvText(TextFile& file, int line, std::string& value) {
    std::string text = ReadLineText(file, std::string::npos);
    if (HasControlCharacter(text)) {
        ConLine("Control character in ENV file, line %d", line);
    } else {
        value = text;
    }
}

void ReadEnvironment(TextFile& file) {
    ReadEnvText(file, 1, Title);
    Title = FirstCharacters(Title, MaxTitleLength);
    std::string* const names[] = {&RawFileName, &NetFileName, &NamFileName,
                                  &VarFileName, &LstFileName, &PartFileName,
                                  &MdlFileName, &ExtFileName, &DisFileName};
    int line = 1;
    for (std::string* name : names) ReadEnvText(file, ++line, *name);
    ReadEnvNumber(file, 11, EnvUnits);
    SkipLine(file);
    ReadEnvNumber16(file, 12, EnvVars);
    SkipLine(file);
    ReadEnvNumber16(file, 13, DebugLevel);
    SkipLine(file);
    ReadEnvNumber16(file, 14, EnvSource);
    SkipLine(file);
    ReadEnvNumber16(file, 15, EnvDism);
    ReadEnvNumber16(file, 15, EnvAssc);
    ReadEnvNumber16(file, 15, EnvNorm);
    SkipLine(file);
}

std::string EnvironmentText() {
    std::string text;
    auto line = [&text](const std::string& s) { text += s + "\r\n"; };
    line(Title);
    line(RawFileName);
    line(NetFileName);
    line(NamFileName);
    line(VarFileName);
    line(LstFileName);
    line(PartFileName);
    line(MdlFileName);
    line(ExtFileName);
    line(DisFileName);
    line(std::to_string(EnvUnits));
    line(std::to_string(EnvVars));
    line(std::to_string(DebugLevel));
    line(std::to_string(EnvSource));
    // Three fields of 3 with nothing between them; a number of three digits
    // or more after the first gets a blank before it, or it would run into
    // the one before and the file would read back other numbers.
    char last[24];
    std::snprintf(last, sizeof last, EnvAssc < 100 ? "%3u%3u" : "%3u %u", EnvDism, EnvAssc);
    std::string fields = last;
    std::snprintf(last, sizeof last, EnvNorm < 100 ? "%3u" : " %u", EnvNorm);
    line(fields + last);
    return text;
}

static EnvFailure ReplaceEnvironmentFile() {
    std::string target;
    EnvFailure failure = EnvironmentTarget(target);
    if (failure != EnvFailure::None) return failure;
    mode_t mode;
    if (!ReplacementMode(target, mode) || !ReplaceWholeFile(target, EnvironmentText(), mode)) return EnvFailure::Write;
    return EnvFailure::None;
}

void SaveEnvironment() {
    ConLine("Saving ENV on %s", EnvFileName.c_str());
    EnvFailure failure = ReplaceEnvironmentFile();
    if (failure == EnvFailure::None) return;
    if (failure == EnvFailure::ForeignLink) {
        ConMessage("Cannot write ENV file %s: the link belongs to another user", EnvFileName.c_str());
    } else {
        ConMessage("Cannot write ENV file %s", EnvFileName.c_str());
    }
    EnvWriteFailed = true;
}

void ShowEnvironment() {
    ConLine("Tebra PC / %s", "  -  research");
    ConLine("USER = %s", UserText.c_str());
    ConLine("TIT = %s", Title.c_str());
    ConLine("RAW = %s", RawFileName.c_str());
    ConLine("NET = %s", NetFileName.c_str());
    ConLine("NAM = %s", NamFileName.c_str());
    ConLine("VAR = %s", VarFileName.c_str());
    ConLine("LST = %s", LstFileName.c_str());
    ConLine("ZEP = %s", PartFileName.c_str());
    ConLine("MDL = %s", MdlFileName.c_str());
    ConLine("EXT = %s", ExtFileName.c_str());
    ConLine("DIS = %s", DisFileName.c_str());
    ConEndLine();
    ConLine("units  = %5d     vars   = %5u", EnvUnits, EnvVars);
    ConLine("debug  = %5u     source = %u", DebugLevel, EnvSource);
    ConLine("dism   = %5u     assc   = %u", EnvDism, EnvAssc);
    ConLine("norm   = %u", EnvNorm);
    ConEndLine();
}
