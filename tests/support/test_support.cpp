#include "support/test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "console/output.h"
#include "settings/weights_dialogue.h"
#include "driver/state_reset.h"
#include "search/accepted_partitions.h"
#include "search/local_optimization.h"

void ResetState() {
    ResetProblemState();
    UseSystemWrite();
    SetCriterionDefaults();
    ListLevel = 1;
    ProgramName = "KORVEL";
    BannerName = "K O R V E L";
    RunLabel = std::string(10, ' ');
    PageLength = 60;
}

void CaptureListing() {
    if (ListingFile != nullptr) std::fclose(ListingFile);
    ListingFile = std::tmpfile();
    ListingBuffered = 0;
    ListingWriteFailed = false;
}

std::string ListingText() {
    // The listing is written through its descriptor: read it back there.
    FlushListing();
    int fd = fileno(ListingFile);
    off_t end = lseek(fd, 0, SEEK_END);
    std::string text(static_cast<size_t>(end), '\0');
    ssize_t got = pread(fd, &text[0], text.size(), 0);
    text.resize(got < 0 ? 0 : static_cast<size_t>(got));
    return text;
}

void UseTextFile(TextFile& file, const std::string& content) {
    file = TextFile{};
    file.Handle = std::tmpfile();
    std::fwrite(content.data(), 1, content.size(), file.Handle);
    std::rewind(file.Handle);
}

void UseBinaryNetwork(const std::vector<std::string>& rows) {
    SideUnits[RowSide] = static_cast<int32_t>(rows.size());
    SideUnits[ColSide] = rows.empty() ? 0 : static_cast<int32_t>(rows[0].size());
    NumUnits = SideUnits[RowSide] == SideUnits[ColSide] ? SideUnits[RowSide] : SideUnits[RowSide] + SideUnits[ColSide];
    TwoMode = SideUnits[RowSide] != SideUnits[ColSide];
    ColOffset = TwoMode ? SideUnits[RowSide] : 0;
    SizeNetworkState();
    StartCells();
    for (int i = 1; i <= SideUnits[RowSide]; ++i) {
        for (int j = 1; j <= SideUnits[ColSide]; ++j) {
            int value = rows[i - 1][j - 1] - '0';
            if (value != 0) SetCell(i, j, value, value);
        }
    }
    FinishCells();
    LabelText.clear();
    for (int k = 1; k <= NumUnits; ++k) {
        std::string name = "u" + std::to_string(k);
        LabelStart[k] = static_cast<uint32_t>(LabelText.size());
        LabelText += name;
        name.resize(NameLength, ' ');
        std::memcpy(UnitName[k], name.c_str(), NameLength + 1);
    }
    LabelStart[NumUnits + 1] = static_cast<uint32_t>(LabelText.size());
}

void AllowEverywhere(uint16_t allowed, int32_t penalty) {
    ModelRows = ModelCols = 2;
    for (int r = 1; r <= MaxModelSize; ++r) {
        for (int c = 1; c <= MaxModelSize; ++c) {
            ModelMatrix[r][c] = allowed;
            PenaltyMatrix[r][c] = penalty;
        }
    }
    ErrorType = 1;
    MinBlockSize = 1;
}

void UsePartitions(const std::vector<int>& rows, const std::vector<int>& cols) {
    std::memset(ClusterSize[RowSide], 0, sizeof ClusterSize[RowSide]);
    std::memset(ClusterSize[ColSide], 0, sizeof ClusterSize[ColSide]);
    SideClusters[RowSide] = SideClusters[ColSide] = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        Partition[RowSide][i + 1] = static_cast<uint8_t>(rows[i]);
        ++ClusterSize[RowSide][rows[i]];
        if (rows[i] > SideClusters[RowSide]) SideClusters[RowSide] = rows[i];
    }
    for (size_t j = 0; j < cols.size(); ++j) {
        Partition[ColSide][j + 1] = static_cast<uint8_t>(cols[j]);
        ++ClusterSize[ColSide][cols[j]];
        if (cols[j] > SideClusters[ColSide]) SideClusters[ColSide] = cols[j];
    }
    CopyWorkingToAccepted();
}

std::string WithConsole(const char* answers, void (*procedure)()) {
    FILE* input = std::tmpfile();
    std::fputs(answers, input);
    std::rewind(input);
    FILE* output = std::tmpfile();
    FILE* savedIn = stdin;
    FILE* savedOut = stdout;
    bool savedEnded = ConsoleInputEnded;
    stdin = input;
    stdout = output;
    ConsoleInputEnded = false;
    procedure();
    std::fflush(output);
    stdin = savedIn;
    stdout = savedOut;
    ConsoleInputEnded = savedEnded;
    std::string text(static_cast<size_t>(std::ftell(output)), '\0');
    std::rewind(output);
    text.resize(std::fread(&text[0], 1, text.size(), output));
    std::fclose(input);
    std::fclose(output);
    return text;
}

static int FillingDiskFailAt;
static int FillingDiskCalls;

static ssize_t FillingDiskWrite(int fd, const void* data, size_t size) {
    int call = ++FillingDiskCalls;
    if (call == FillingDiskFailAt) return write(fd, data, size / 2);
    if (call == FillingDiskFailAt + 1) {
        errno = ENOSPC;
        return -1;
    }
    return write(fd, data, size);
}

void UseFillingDisk(int failAt) {
    FillingDiskFailAt = failAt;
    FillingDiskCalls = 0;
    WriteHook = FillingDiskWrite;
}

int WriteCalls() { return FillingDiskCalls; }

void UseSystemWrite() { WriteHook = nullptr; }

TempFolder::TempFolder() {
    char pattern[] = "/tmp/korvel-test-XXXXXX";
    Path = mkdtemp(pattern);
}

TempFolder::~TempFolder() {
    std::string command = "chmod -R u+w '" + Path + "' 2>/dev/null; rm -rf '" + Path + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cannot remove %s\n", Path.c_str());
}

void TempFolder::Write(const std::string& name, const std::string& content) const {
    std::ofstream out(Path + "/" + name, std::ios::binary);
    out << content;
}

std::string TempFolder::Read(const std::string& name) const {
    std::ifstream in(Path + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool TempFolder::Exists(const std::string& name) const {
    return access((Path + "/" + name).c_str(), F_OK) == 0;
}

RunResult RunKorvel(const TempFolder& folder, const std::string& input,
                    const std::string& arguments, const std::string& seed) {
    folder.Write(".stdin", input);
    std::string command = "cd '" + folder.Path + "' && KORVEL_SEED=" + seed + " '" +
                          KORVEL_BINARY + "' " + arguments + " < .stdin > .stdout 2>&1";
    int status = std::system(command.c_str());
    RunResult result;
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.Console = folder.Read(".stdout");
    std::remove((folder.Path + "/.stdin").c_str());
    std::remove((folder.Path + "/.stdout").c_str());
    return result;
}

std::string Example(const std::string& name) {
    std::ifstream in(std::string(KORVEL_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
