// The problem state of the whole program: one set of fixed-size arrays and
// scalars that lives from start to end and is never reallocated. Every
// subsystem includes this header and reads and writes the names directly;
// arrays are indexed from 1, entry 0 is unused unless a comment says so.
// Every thread has its own copy of the names under "Search"; the others are
// one for all. While worker threads search, only the main thread writes, and
// the workers read only the network, the model, the criterion parameters and
// the run settings.
#pragma once

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <string>

constexpr int MaxSideUnits = 250;    // row units, column units
constexpr int MaxNetUnits = 500;     // units declared in a network file (rows plus columns)
constexpr int MaxModelSize = 75;     // clusters per side; block matrices are 75 x 75
constexpr int MaxConstraints = 100;  // constraints read from a model file
constexpr int NameLength = 10;       // characters of every UnitName entry, padded with blanks
constexpr int NameBytes = 4 * NameLength;  // a UTF-8 character takes up to 4 bytes
constexpr int MaxTitleLength = 70;   // Title, ListTitle
constexpr int32_t MaxTypeCode = 12;  // highest ideal block type code
constexpr int NumTypeCodes = MaxTypeCode + 1;

// The two sides of the network: index of every per-side table and statistic.
constexpr int RowSide = 0;
constexpr int ColSide = 1;

// Ideal block type codes: bit number in ModelMatrix, index of the weight,
// priority and name tables, value stored in BlockTypeMatrix.
enum BlockType : int {
    NullType = 0,
    CompleteType = 1,
    RowDominantType = 2,
    ColDominantType = 3,
    RegularType = 4,
    RowRegularType = 5,
    ColRegularType = 6,
    RowFunctionType = 7,
    ColFunctionType = 8,
    DensityType = 9,
    DoNotCareType = 10,
    NonNullType = 11,
    SymmetricType = 12,
};

// A set of unit numbers 0..255, one bit each.
struct UnitSet {
    uint64_t Bits[4];
};

// Error of an empty slot of the ten best: a result at or above it never
// enters. The list prints only errors below 1e10, yet every entry below this
// is a result.
constexpr double NoResultError = 2e10;

// One of the ten best results of a series. The cluster counts are the ones
// the result was found with: starts read from a partition file may add
// results with other counts to the same list.
struct TopTenEntry {
    int32_t Rep;                          // repetition that produced it
    double Error;                         // total error; NoResultError in an empty slot
    UnitSet RowSets[MaxModelSize + 1];    // row clusters 1..NumRowClusters
    UnitSet ColSets[MaxModelSize + 1];    // column clusters 1..NumColClusters
    int32_t NumRowClusters;
    int32_t NumColClusters;
};

// Network: filled once by ReadNetwork, read by everything after it.
inline int32_t NumUnits;   // units declared in the network file, 1..500
inline int32_t NumRows;    // row units, 1..250
inline int32_t NumCols;    // column units, 1..250
inline bool TwoMode;       // the file declared a separate set of column units
inline int32_t ColOffset;  // NumRows when TwoMode, else 0: column j is unit ColOffset + j
inline int32_t NetForm;    // 1 matrix, 2 edges, 3 arcs; 5 while none was recognised
inline int32_t NetworkMatrix[MaxSideUnits + 1][MaxSideUnits + 1];  // tie value, row x column unit
inline uint8_t BinaryMatrix[MaxSideUnits + 1][MaxSideUnits + 1];   // 1 where the tie is positive
inline char UnitName[MaxNetUnits + 1][NameBytes + 1];              // 10 characters, blank-padded, NUL-terminated

// Model: filled once by ReadModel, read by the criterion.
inline int32_t ModelRows;  // rows of the model matrix, 2..75: bound on row clusters
inline int32_t ModelCols;  // columns of the model matrix, 2..75
inline uint16_t ModelMatrix[MaxModelSize + 1][MaxModelSize + 1];  // bit t: type t allowed
inline int32_t PenaltyMatrix[MaxModelSize + 1][MaxModelSize + 1]; // multiplier of block errors
inline int32_t NumConstraints;                                    // 0..100
inline uint8_t ConstraintKind[MaxConstraints + 1];    // 1..6 defined, others add nothing
inline int32_t ConstraintWeight[MaxConstraints + 1];  // penalty of each constraint
inline uint8_t ConstraintFirst[MaxConstraints + 1];   // unit number, or a size (mod 256)
inline uint8_t ConstraintSecond[MaxConstraints + 1];  // cluster over both sides, or unit (mod 256)

// Criterion parameters: set by the weights dialogue, read by the criterion.
inline int32_t ErrorType;     // 2 size, anything else constant
inline int32_t MinBlockSize;  // size condition of the dominant, regular, function types
inline int32_t ValuesRule;    // 1: block values are computed and printed
inline double TypeWeight[NumTypeCodes];     // factor of every error of the type
inline uint8_t TypePriority[NumTypeCodes];  // 1..13; 0 excludes the type
inline int32_t PrioritySequence[NumTypeCodes + 1];  // entry p: type of priority p, or -1
inline double DiaDensity;     // divisor of density values on diagonal blocks
inline double OutDensity;     // density threshold; divisor of other density values
// Short and full names of the ideal block types, by code.
inline const char* const TypeCode[NumTypeCodes] = {" - ", "com", "rdo", "cdo", "reg", "rre", "cre",
                                                   "rfn", "cfn", "den", "dnc", "one", "sym"};
inline const char* const TypeName[NumTypeCodes] = {
    "null",         "complete",     "row-dominant", "col-dominant", "regular",  "row-regular", "col-regular",
    "row-function", "col-function", "density",      "do not care",  "non-null", "symmetric"};

// Run settings: set by the program flow, the random series and the partition
// reader between repetitions; a search only reads them, on any thread.
inline int32_t RunMode;         // 0 stop, 1 read file, 2 random
inline int32_t NumRowClusters;  // clusters of the row partitions
inline int32_t NumColClusters;  // clusters of the column partitions
inline int32_t ListLevel;       // listing detail 1..5
inline bool ListMoves;          // ListLevel > 1
inline bool ListTrace;          // ListLevel > 3
inline bool ListClusters;       // ListMoves or ListTrace, recomputed before every repetition
inline bool StartFromFile;      // the start partitions were read from a partition file
inline bool ForceFullEvaluation;  // the search judges every trial by the full scan (tests, benchmarks)
inline bool OneModeAsked;       // onemode=1 of the command line (never kept in the environment file)
inline bool OneMode;            // one partition: onemode=1 on a one-mode network; the column partition is a copy of the row one
inline int32_t SearchThreads;   // threads= of the command line: 0 every hardware thread, 1 the main thread alone
constexpr int32_t MaxSearchThreads = 64;

// Search: written by one local optimization, one copy per thread. A worker
// thread's copy lives while it runs the searches of a series; the main
// thread's copy is the one the listings, reports and files print, and a
// result searched on a worker is copied into it when it is recorded. The
// criterion reads the working pair, the search keeps the accepted pair; each
// size array counts exactly the units of its partition. The incremental
// criterion keeps its statistics per thread beside its code (about 4 MB a
// thread: worker threads get a stack that holds them).
inline thread_local uint8_t RowPartition[MaxSideUnits + 1];     // working row cluster of each row unit
inline thread_local uint8_t ColPartition[MaxSideUnits + 1];     // working column cluster of each column unit
inline thread_local uint8_t RowClusterSize[MaxModelSize + 1];   // units in each cluster of RowPartition
inline thread_local uint8_t ColClusterSize[MaxModelSize + 1];   // units in each cluster of ColPartition
inline thread_local uint8_t AcceptedRowPartition[MaxSideUnits + 1];
inline thread_local uint8_t AcceptedColPartition[MaxSideUnits + 1];
inline thread_local uint8_t AcceptedRowClusterSize[MaxModelSize + 1];
inline thread_local uint8_t AcceptedColClusterSize[MaxModelSize + 1];
inline thread_local double TrialError;    // criterion of the trial partitions
inline thread_local double CurrentError;  // criterion of the accepted partitions
// Per block of the latest evaluation, printed by the block matrix listings.
inline thread_local int32_t BlockTypeMatrix[MaxModelSize + 1][MaxModelSize + 1];  // chosen type, -1 for none
inline thread_local int32_t ErrorMatrix[MaxModelSize + 1][MaxModelSize + 1];      // raw error of the choice
inline thread_local double RealValueMatrix[MaxModelSize + 1][MaxModelSize + 1];   // block value, if asked
// The accepted pair once the search ends: listing order and sets.
inline thread_local uint8_t RowOrder[MaxSideUnits + 1];  // listing order: row units cluster by cluster
inline thread_local uint8_t ColOrder[MaxSideUnits + 1];
inline thread_local UnitSet RowClusterSets[MaxModelSize + 1];  // accepted row clusters as sets
inline thread_local UnitSet ColClusterSets[MaxModelSize + 1];

// Results of a series: recorded on the main thread in repetition order,
// reset when a random series starts, reported by the results report.
inline int32_t RepCount;        // repetition counter of the run loop
inline int32_t RepLimit;        // last repetition of the current series
inline int32_t BestRep;         // repetition of BestError; 0 at start
inline double BestError;        // best criterion of the series
inline TopTenEntry TopTen[11];  // 1..10 best first; 0 is the candidate being inserted
inline bool EquivalencesListed; // the exact-fit heading was written in this series
inline bool HaveSolution;       // a random series has been started in this run
inline bool EverPartitioned;    // some partition has been set in this run (series or read)
inline int32_t SaveOption;      // 0 no, 1 ask, 2 opt, 3 all
inline bool AskSave;            // ask after each repetition whether to save
inline bool SaveThis;           // save the current clustering after this repetition
inline bool PartFileKeepOpen;   // the written partition file stays open across saves
inline bool PartFileOpen;       // the partition file is open (after a read: the read succeeded)

// Texts.
inline std::string Title;      // run title, at most 70 characters
inline std::string ListTitle;  // final title written after matrix headings
inline std::string TitleText;  // the final title, any length
inline std::string ProgramName;  // "KORVEL": page headers
inline std::string BannerName;   // "K O R V E L": banner and fatal-error line
inline std::string RunLabel;     // page header label: 10 blanks, then the series kind

// Listing pages.
inline int16_t PageLength;   // lines per page
inline int32_t PageNumber;   // current page; 0 before the first
inline int32_t LineOnPage;   // lines counted on the current page

// Files. The listing and the written partition file are held as streams but
// written through their descriptors in whole pieces, and each is locked
// against other runs while it is open. The network and model files being
// read are held beside the text input (console/text_input.h).
inline FILE* ListingFile;
inline FILE* HeldListingFile;    // the listing while its writes are held in ListingFile, a temporary file
inline FILE* PartitionFile;      // open for writing
inline char ListingBuffer[16384];  // listing text not yet handed to ListingFile
inline size_t ListingBuffered;     // bytes of ListingBuffer in use
inline bool FileInUse;             // the last open found the file locked by another run
inline bool ListingWriteFailed;    // a write to the listing failed (reported once)
inline bool PartitionWriteFailed;  // a write to the partition file failed (reported once)
inline bool PartitionSaveSkipped;  // a save was skipped because the file could not be opened
inline bool EnvWriteFailed;        // the environment file could not be written
inline bool ConsoleInputEnded;     // standard input has reached its end

// The files of this run by role. A file may serve one role only: a network
// written over by clusterings, or a model appended to by the listing, would be
// lost. Claimed as each file is opened (the result files with the listing);
// a file is known by device and inode while it exists, and by its resolved
// path before it does.
enum FileRole : int { NetworkRole, ModelRole, ListingRole, PartitionRole, EnvironmentRole, ResultRole };
struct FileClaim {
    FileRole Role;
    bool Exists;        // Device and Inode are known
    uint64_t Device;
    uint64_t Inode;
    std::string Path;   // absolute, links resolved as far as the file exists
};
constexpr int MaxFileClaims = 16;
inline FileClaim FileClaims[MaxFileClaims];
inline int32_t NumFileClaims;
inline int ResultNamesLock = -1;  // held while this run owns its result names against other runs
inline bool NoResultFiles;        // the listing is no regular file (a device): nothing is written beside it

// Result files beside the listing for other programs (JSON, picture,
// partitions in the network tools' format), rewritten at every series report.
constexpr int NumResultFiles = 5;
inline std::string ReportedSeriesJson;  // the series reported so far in this run, as JSON objects
inline int32_t SeriesRepetitions;       // repetitions asked for the latest random series
inline bool ResultFileFailed[NumResultFiles];  // that result file could not be written (reported once)
inline bool ResultWriteFailed;          // some result file could not be written

// Environment settings, in the order of the environment file.
inline std::string RawFileName;
inline std::string NetFileName;
inline std::string NamFileName;
inline std::string VarFileName;
inline std::string LstFileName;
inline std::string PartFileName;
inline std::string MdlFileName;
inline std::string ExtFileName;
inline std::string DisFileName;
inline int32_t EnvUnits;
inline uint16_t EnvVars;
inline uint16_t DebugLevel;
inline uint16_t EnvSource;
inline uint16_t EnvDism;
inline uint16_t EnvAssc;
inline uint16_t EnvNorm;
inline std::string EnvFileName;  // "Tebra.ENV" unless the command line names another
inline std::string UserText;     // shown on the USER line of the settings listing

// Command line, as the platform split it.
inline int ArgCount;
inline char** ArgValues;

// Answers named on the command line (rows=3, weights=com:2, ...), each tied
// to the prompt of its question. Filled once before the banner by
// ReadNamedAnswers; taken by the prompts as the questions come.
constexpr int MaxNamedAnswers = 80;
struct NamedAnswerEntry {
    const char* Prompt;   // the question's prompt, as the dialogue writes it
    const char* Keyword;  // the argument's keyword, for messages
    std::string Text;     // the answer, as if typed
    bool Repeats;         // answers the question every time it is asked, not once
    bool Taken;           // a one-time answer already given
};
inline NamedAnswerEntry NamedAnswers[MaxNamedAnswers];
inline int32_t NumNamedAnswers;
inline bool ScriptedRun;  // rows=, cols=, reps= or run= given: no question waits for the console
// Set by the first Ctrl-C of a random series, or of a series report and the
// writes after it: the series ends after its running repetition, the writes
// end, and the run ends with exit code 130. Written only by the signal handler.
inline volatile std::sig_atomic_t SeriesInterrupted;

// Random generator state, seeded once per run.
inline uint32_t RandomSeed;
inline bool SeedFixed;      // the seed was given (KORVEL_SEED or the command line), not the clock
inline uint32_t FixedSeed;  // that seed

// The smaller and the larger of two values.
inline int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }
inline int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }
