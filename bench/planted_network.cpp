// Writes a planted-partition network for the benchmarks of large networks:
// clusters of equal size, ties drawn with one probability inside the blocks
// of a cluster with the cluster of the same number and another elsewhere, and
// the planted partition's error for null and complete blocks, so that a
// search can be judged by whether it reaches it.
// Every draw comes from one std::mt19937_64 through procedures of this file,
// never through the library's distributions or std::shuffle, whose
// algorithms differ between libraries: the same arguments give the same
// bytes everywhere. Each cell takes its own draw, so the time grows with
// the cells, not the ties (25 million cells take well under a second).
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

enum Side { Rows = 0, Columns = 1 };

// The program's block matrices are 75 x 75: a planted partition with more
// clusters could not be read back as a start.
constexpr int64_t MaxClusters = 75;
// The program counts a network's units in 32 bits.
constexpr int64_t MaxUnits = 2147483647;

// Arguments: set once by ReadArguments, read by everything after it.
static int64_t NumUnits[2];     // units on each side; a one-mode network's columns are its rows
static int64_t NumClusters[2];  // clusters on each side
static double InsideProbability = 0.6;    // tie probability in block (k, k)
static double OutsideProbability = 0.01;  // tie probability in every other block
static int64_t SeedArgument = 1;
static std::string NetFileName;
static std::string PartitionFileName;  // empty: no partition file
static bool TwoMode;                   // cols= was given

// The planted partition: filled by PlantClusters, read by the writers.
// One-mode networks keep the row partition in both entries.
static std::vector<int32_t> Partition[2];  // cluster (from 1) of each unit, indexed from 1
static std::vector<int64_t> ClusterSize[2];  // units of each cluster, indexed from 1

// Ties by block, (row cluster, column cluster), filled while the ties are drawn.
static std::vector<int64_t> BlockTies;  // (r - 1) * NumClusters[Columns] + (c - 1)
static int64_t NumTies;

static std::mt19937_64 Random;

// Output: one file at a time through one large buffer, millions of short
// lines without a flush per line.
static FILE* OutFile;
static const std::string* OutName;
static char OutText[1 << 20];
static size_t OutUsed;

static void Usage(FILE* to) {
    std::fprintf(to,
                 "usage: korvel-planted rows=N [cols=M] [clusters=K] [colclusters=L] [inside=P]\n"
                 "                      [outside=Q] [seed=S] out=FILE.net [partition=FILE.zep]\n"
                 "Writes a network whose units fall in clusters of equal size (the first N mod K\n"
                 "one unit larger), in shuffled order; ties have probability P (default 0.6) in\n"
                 "the blocks of cluster k with cluster k and Q (default 0.01) elsewhere. Without\n"
                 "cols= the network is one-mode, without loops. clusters= defaults to 2 and\n"
                 "colclusters= to clusters=; seed= to 1. partition= writes the planted partition\n"
                 "as a partition file. Prints the counts, the ties, the density and the planted\n"
                 "partition's error for null and complete blocks (constant errors, weights 1).\n");
}

[[noreturn]] static void StopOnBadArgument(const char* argument, const std::string& problem) {
    std::fprintf(stderr, "Bad argument %s: %s\n", argument, problem.c_str());
    std::exit(1);
}

// A whole token as a decimal integer of min..max; "12x", "", "1e3" fail.
static bool ParseInteger(const char* text, int64_t min, int64_t max, int64_t& value) {
    if (*text == '\0' || *text == ' ') return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text, &end, 10);
    if (*end != '\0' || errno == ERANGE || v < min || v > max) return false;
    value = v;
    return true;
}

// A whole token as a probability 0..1; "nan", "0.5x", "" fail.
static bool ParseProbability(const char* text, double& value) {
    if (*text == '\0' || *text == ' ') return false;
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (*end != '\0' || !(v >= 0.0 && v <= 1.0)) return false;
    value = v;
    return true;
}

// Keywords whose value is a whole number.
struct IntegerKeyword {
    const char* Keyword;
    int64_t* Value;
    int64_t Min;
    int64_t Max;
    const char* Range;
};
static const IntegerKeyword IntegerKeywords[] = {
    {"rows", &NumUnits[Rows], 1, MaxUnits, "1..2147483647"},
    {"cols", &NumUnits[Columns], 1, MaxUnits, "1..2147483647"},
    {"clusters", &NumClusters[Rows], 1, MaxClusters, "1..75"},
    {"colclusters", &NumClusters[Columns], 1, MaxClusters, "1..75"},
    {"seed", &SeedArgument, 0, 4294967295, "0..4294967295"},
};

struct ProbabilityKeyword {
    const char* Keyword;
    double* Value;
};
static const ProbabilityKeyword ProbabilityKeywords[] = {
    {"inside", &InsideProbability},
    {"outside", &OutsideProbability},
};

struct FileKeyword {
    const char* Keyword;
    std::string* Name;
};
static const FileKeyword FileKeywords[] = {
    {"out", &NetFileName},
    {"partition", &PartitionFileName},
};

// Reads one keyword=value argument into its setting; stops the run on an
// unknown keyword or a value out of its range.
static void ReadArgument(const char* argument) {
    const char* equals = std::strchr(argument, '=');
    if (equals == nullptr) StopOnBadArgument(argument, "expected keyword=value");
    std::string keyword(argument, static_cast<size_t>(equals - argument));
    const char* text = equals + 1;
    for (const IntegerKeyword& k : IntegerKeywords) {
        if (keyword != k.Keyword) continue;
        if (!ParseInteger(text, k.Min, k.Max, *k.Value))
            StopOnBadArgument(argument, keyword + " must be " + k.Range);
        return;
    }
    for (const ProbabilityKeyword& k : ProbabilityKeywords) {
        if (keyword != k.Keyword) continue;
        if (!ParseProbability(text, *k.Value)) StopOnBadArgument(argument, keyword + " must be 0..1");
        return;
    }
    for (const FileKeyword& k : FileKeywords) {
        if (keyword != k.Keyword) continue;
        if (*text == '\0') StopOnBadArgument(argument, keyword + " needs a file name");
        *k.Name = text;
        return;
    }
    StopOnBadArgument(argument, "unknown keyword");
}

// Stops the run on a value that its keyword allows but the other arguments
// do not.
[[noreturn]] static void StopOnBadValue(const char* keyword, int64_t value, const std::string& problem) {
    StopOnBadArgument((keyword + ("=" + std::to_string(value))).c_str(), problem);
}

// Reads every argument, then checks what depends on more than one of them:
// the counts a network needs and clusters that each hold a unit.
static void ReadArguments(int argc, char** argv) {
    for (int a = 1; a < argc; ++a) ReadArgument(argv[a]);
    if (NumUnits[Rows] == 0) StopOnBadArgument("rows=", "the number of row units is needed");
    if (NetFileName.empty()) StopOnBadArgument("out=", "the network file to write is needed");
    TwoMode = NumUnits[Columns] > 0;
    if (NumClusters[Rows] == 0) NumClusters[Rows] = 2;
    if (!TwoMode && NumClusters[Columns] > 0)
        StopOnBadValue("colclusters", NumClusters[Columns],
                       "a one-mode network has one partition (give cols= for two-mode)");
    if (NumClusters[Columns] == 0) NumClusters[Columns] = NumClusters[Rows];
    if (!TwoMode) NumUnits[Columns] = NumUnits[Rows];
    if (TwoMode && NumUnits[Rows] + NumUnits[Columns] > MaxUnits)
        StopOnBadValue("cols", NumUnits[Columns], "rows + cols must be at most 2147483647");
    // Every cluster holds a unit, as every cluster of the program's partitions does.
    const char* keyword[2] = {"clusters", "colclusters"};
    const char* units[2] = {"row units", "column units"};
    for (int s = Rows; s <= Columns; ++s)
        if (NumClusters[s] > NumUnits[s])
            StopOnBadValue(keyword[s], NumClusters[s],
                           std::string(keyword[s]) + " must be 1.." + std::to_string(NumUnits[s]) + ", the " +
                               (TwoMode ? units[s] : "units"));
}

// A uniform draw of 0..n-1. Draws at or above the largest multiple of n are
// drawn again, so that no remainder is favoured.
static uint64_t UniformBelow(uint64_t n) {
    const uint64_t limit = UINT64_MAX - UINT64_MAX % n;
    uint64_t x = Random();
    while (x >= limit) x = Random();
    return x % n;
}

// Fills Partition[s] and ClusterSize[s]: cluster k holds N / K units, the
// first N mod K one more, and the units take the clusters in an order
// shuffled by Fisher and Yates.
static void PlantClusters(int s) {
    const int64_t n = NumUnits[s], k = NumClusters[s];
    ClusterSize[s].assign(k + 1, n / k);
    ClusterSize[s][0] = 0;
    for (int64_t c = 1; c <= n % k; ++c) ++ClusterSize[s][c];
    std::vector<int32_t>& partition = Partition[s];
    partition.assign(n + 1, 0);
    int64_t u = 1;
    for (int64_t c = 1; c <= k; ++c)
        for (int64_t m = 0; m < ClusterSize[s][c]; ++m)
            partition[u++] = static_cast<int32_t>(c);
    for (int64_t i = n; i >= 2; --i)
        std::swap(partition[i], partition[1 + UniformBelow(i)]);
}

static void OpenOutput(const std::string& name) {
    OutFile = std::fopen(name.c_str(), "wb");
    if (OutFile == nullptr) {
        std::fprintf(stderr, "Cannot write %s: %s\n", name.c_str(), std::strerror(errno));
        std::exit(1);
    }
    OutName = &name;
    OutUsed = 0;
}

static void FlushOutput() {
    if (std::fwrite(OutText, 1, OutUsed, OutFile) != OutUsed) {
        std::fprintf(stderr, "Cannot write %s: %s\n", OutName->c_str(), std::strerror(errno));
        std::exit(1);
    }
    OutUsed = 0;
}

static void CloseOutput() {
    FlushOutput();
    if (std::fclose(OutFile) != 0) {
        std::fprintf(stderr, "Cannot write %s: %s\n", OutName->c_str(), std::strerror(errno));
        std::exit(1);
    }
    OutFile = nullptr;
}

// Room for the longest piece added at once: a tie line of two numbers.
constexpr size_t MaxPiece = 64;

static void AddText(const char* text) {
    size_t n = std::strlen(text);
    if (OutUsed + n > sizeof OutText) FlushOutput();
    std::memcpy(OutText + OutUsed, text, n);
    OutUsed += n;
}

// Puts value (not negative) in decimal at OutText[OutUsed], right-aligned in
// width characters (a wider number takes the room it needs); the caller has
// made room for it.
static void PutNumber(int64_t value, int width) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int pad = width - n; pad > 0; --pad) OutText[OutUsed++] = ' ';
    while (n > 0) OutText[OutUsed++] = digits[--n];
}

static void AddNumber(int64_t value, int width) {
    if (OutUsed + MaxPiece > sizeof OutText) FlushOutput();
    PutNumber(value, width);
}

// Adds the arc line "i j" of one tie.
static void AddTieLine(int64_t i, int64_t j) {
    if (OutUsed + MaxPiece > sizeof OutText) FlushOutput();
    PutNumber(i, 1);
    OutText[OutUsed++] = ' ';
    PutNumber(j, 1);
    OutText[OutUsed++] = '\r';
    OutText[OutUsed++] = '\n';
}

// Draws every cell and writes the ties to the network file as arc lines;
// fills BlockTies and NumTies. Rows in order, and in each row the columns
// in order, so that the draws follow the file.
static void WriteNetwork() {
    const int64_t colClusters = NumClusters[Columns];
    BlockTies.assign(NumClusters[Rows] * colClusters, 0);
    NumTies = 0;
    // A cell is a tie when the draw's top 53 bits, read as a fraction of
    // 2^53, are below its probability: threshold = ceil(p * 2^53).
    const uint64_t inside = static_cast<uint64_t>(std::ceil(InsideProbability * 9007199254740992.0));
    const uint64_t outside = static_cast<uint64_t>(std::ceil(OutsideProbability * 9007199254740992.0));
    std::vector<uint64_t> threshold(colClusters + 1);
    const int32_t* rowCluster = Partition[Rows].data();
    const int32_t* colCluster = Partition[Columns].data();
    // Column units follow the row units in a two-mode file's numbering.
    const int64_t colOffset = TwoMode ? NumUnits[Rows] : 0;

    OpenOutput(NetFileName);
    AddText("*Vertices ");
    if (TwoMode) {
        AddNumber(NumUnits[Rows] + NumUnits[Columns], 1);
        AddText(" ");
    }
    AddNumber(NumUnits[Rows], 1);
    AddText("\r\n*Arcs\r\n");
    for (int64_t i = 1; i <= NumUnits[Rows]; ++i) {
        const int32_t r = rowCluster[i];
        for (int64_t c = 1; c <= colClusters; ++c) threshold[c] = c == r ? inside : outside;
        int64_t* ties = &BlockTies[(r - 1) * colClusters];
        for (int64_t j = 1; j <= NumUnits[Columns]; ++j) {
            if (!TwoMode && j == i) continue;  // no loops, and no draw for them
            const int32_t c = colCluster[j];
            if ((Random() >> 11) >= threshold[c]) continue;
            ++ties[c - 1];
            ++NumTies;
            AddTieLine(i, colOffset + j);
        }
    }
    CloseOutput();
}

// The planted partition's error with null and complete allowed in every
// block, constant errors and weights 1: each block takes the cheaper of its
// ties (null) and its cells without a tie (complete). A diagonal block of a
// one-mode network counts its diagonal cells too, as the program's criterion
// does: they hold no tie, so a complete block pays for each.
static int64_t PlantedError() {
    int64_t error = 0;
    for (int64_t r = 1; r <= NumClusters[Rows]; ++r)
        for (int64_t c = 1; c <= NumClusters[Columns]; ++c) {
            int64_t cells = ClusterSize[Rows][r] * ClusterSize[Columns][c];
            int64_t ties = BlockTies[(r - 1) * NumClusters[Columns] + (c - 1)];
            error += ties < cells - ties ? ties : cells - ties;
        }
    return error;
}

// Writes the planted partition as the program writes a clustering: rows,
// then columns numbered on from the row clusters; a one-mode network gives
// its one partition for both.
static void WritePartitionFile(int64_t error) {
    OpenOutput(PartitionFileName);
    char header[128];
    std::snprintf(header, sizeof header, "*partition  planted: %" PRId64 "/%" PRId64 " = %8.2f\r\n*vertices",
                  NumClusters[Rows], NumClusters[Columns], static_cast<double>(error));
    AddText(header);
    AddNumber(TwoMode ? NumUnits[Rows] + NumUnits[Columns] : NumUnits[Rows], 5);
    AddNumber(NumUnits[Rows], 5);
    AddNumber(NumUnits[Columns], 5);
    AddText("\r\n");
    for (int s = Rows; s <= Columns; ++s) {
        const int64_t first = s == Rows ? 0 : NumClusters[Rows];
        for (int64_t u = 1; u <= NumUnits[s]; ++u) {
            AddNumber(first + Partition[s][u], 4);
            AddText("\r\n");
        }
    }
    CloseOutput();
}

// "20 of 250 units", or "3: 2 of 17 units, 1 of 16" when the sizes differ.
static void PrintClusters(const char* label, int s) {
    const int64_t n = NumUnits[s], k = NumClusters[s];
    std::printf("%s = %" PRId64, label, k);
    if (n % k == 0)
        std::printf(" of %" PRId64 " units\n", n / k);
    else
        std::printf(": %" PRId64 " of %" PRId64 " units, %" PRId64 " of %" PRId64 "\n", n % k, n / k + 1,
                    k - n % k, n / k);
}

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        Usage(stdout);
        return 0;
    }
    if (argc < 2) {
        Usage(stderr);
        return 1;
    }
    ReadArguments(argc, argv);
    Random.seed(static_cast<uint64_t>(SeedArgument));

    PlantClusters(Rows);
    if (TwoMode) {
        PlantClusters(Columns);
    } else {
        Partition[Columns] = Partition[Rows];
        ClusterSize[Columns] = ClusterSize[Rows];
    }
    WriteNetwork();
    const int64_t error = PlantedError();
    if (!PartitionFileName.empty()) WritePartitionFile(error);

    // Cells that may hold a tie: a one-mode network has no loops.
    const int64_t cells = NumUnits[Rows] * (TwoMode ? NumUnits[Columns] : NumUnits[Rows] - 1);
    if (TwoMode) {
        std::printf("network = two-mode, %" PRId64 " x %" PRId64 " units\n", NumUnits[Rows],
                    NumUnits[Columns]);
        PrintClusters("row clusters", Rows);
        PrintClusters("column clusters", Columns);
    } else {
        std::printf("network = one-mode, %" PRId64 " units\n", NumUnits[Rows]);
        PrintClusters("clusters", Rows);
    }
    std::printf("ties = %" PRId64 "\n", NumTies);
    const double density = cells > 0 ? static_cast<double>(NumTies) / static_cast<double>(cells) : 0.0;
    std::printf("density = %.6f (of %" PRId64 " cells%s)\n", density, cells, TwoMode ? "" : ", no loops");
    std::printf("planted error = %" PRId64 "\n", error);
    return 0;
}
