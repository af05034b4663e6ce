// The environment file. It is written to a temporary file beside it and then
// renamed over the old one, so that a failed write never leaves it half
// written; the entries this program does not use are carried unchanged.
#include "settings/environment.h"

#include <cstdio>

#include "console/file_select.h"
#include "console/output.h"
#include "console/text_input.h"

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

void LoadEnvironment() {
    SetEnvironmentDefaults();
    ConLine("Load ENV file %s", EnvFileName.c_str());
    if (!FileExists(EnvFileName)) {
        SaveEnvironment();
    } else {
        TextFile file{};
        bool read = OpenTextFile(file, EnvFileName.c_str());
        if (read) {
            ReadEnvironment(file);
            read = !file.ReadFailed;
            CloseTextFile(file);
        }
        if (!read) {
            ConLine("Cannot read ENV file %s", EnvFileName.c_str());
            SetEnvironmentDefaults();
        }
    }
    if (DebugLevel > 0) ShowEnvironment();
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

void ReadEnvironment(TextFile& file) {
    Title = ReadLineText(file, MaxTitleLength);
    std::string* const names[] = {&RawFileName, &NetFileName, &NamFileName,
                                  &VarFileName, &LstFileName, &PartFileName,
                                  &MdlFileName, &ExtFileName, &DisFileName};
    for (std::string* name : names) *name = ReadLineText(file, std::string::npos);
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

void SaveEnvironment() {
    std::string temporary = EnvFileName + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    ConLine("Saving ENV on %s", EnvFileName.c_str());
    bool written = false;
    if (file != nullptr) {
        std::string text = EnvironmentText();
        written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
        written = (std::fclose(file) == 0) && written;
        written = written && std::rename(temporary.c_str(), EnvFileName.c_str()) == 0;
        if (!written) std::remove(temporary.c_str());
    }
    if (!written) {
        ConLine("Cannot write ENV file %s", EnvFileName.c_str());
        EnvWriteFailed = true;
    }
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
