// The problem state of the whole program: scalars and tables that live from
// start to end. The fixed-size tables are bounded by the model (75 clusters a
// side); the tables bounded by the network are allocated once, when the
// network is read (network/network_size.cpp), and each search thread sizes
// its own copy of the search tables once (search/search_memory.cpp). Every
// subsystem includes this header and reads and writes the names directly;
// tables are indexed from 1, entry 0 is unused unless a comment says so.
// Every thread has its own copy of the names under "Search"; the others are
// one for all. While worker threads search, only the main thread writes, and
// the workers read only the network, the model, the criterion parameters and
// the run settings.
#pragma once

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// A block's lines are counted in 16-bit fields and its cells in 32 bits; the
// memory of the machine bounds a network long before either.
constexpr int32_t MaxSideUnits = 65535;
constexpr int64_t MaxCells = 2147483647;  // rows x columns
constexpr int32_t ListedSideUnits = 250;  // cell matrices are listed up to this many units a side
constexpr int MaxModelSize = 75;     // clusters per side; block matrices are 75 x 75
constexpr int MaxConstraints = 100;  // constraints read from a model file
constexpr int NameLength = 10;       // characters of every UnitName entry, padded with blanks
constexpr int NameBytes = 4 * NameLength;  // a UTF-8 character takes up to 4 bytes
constexpr int MaxLabelBytes = 255;   // bytes of a whole label, cut between characters
constexpr int MaxTitleLength = 70;   // Title, ListTitle
constexpr int32_t MaxTypeCode = 12;  // highest ideal block type code
constexpr int NumTypeCodes = MaxTypeCode + 1;

// The two sides of the network: index of every per-side table and statistic,
// so that one procedure serves rows and columns.
constexpr int RowSide = 0;
constexpr int ColSide = 1;
// The side's word in listing lines ("move row unit"), and in headings.
inline const char* const SideWord[2] = {"row", "col"};
inline const char* const SideHeading[2] = {"ROW", "COL"};

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

// Error of an empty slot of the ten best: a result at or above it never
// enters. The list prints only errors below ListedErrorLimit, yet every entry
// below NoResultError is a result.
constexpr double NoResultError = 2e10;
constexpr double ListedErrorLimit = 1e10;
constexpr int TopTenSize = 10;  // results kept of a series

// One of the ten best results of a series. The cluster counts are the ones
// the result was found with: starts read from a partition file may add
// results with other counts to the same list.
struct TopTenEntry {
    int32_t Rep;                          // repetition that produced it
    double Error;                         // total error; NoResultError in an empty slot
    std::vector<uint8_t> Partitions[2];   // by side: cluster 1..Clusters[side] of every unit
    int32_t Clusters[2];
};

// Network: filled once by ReadNetwork, read by everything after it.
inline int32_t NumUnits;   // units declared in the network file
inline int32_t SideUnits[2];   // units of each side: the rows, and the columns
inline bool TwoMode;       // the file declared a separate set of column units
inline int32_t ColOffset;  // the row units when TwoMode, else 0: column j is unit ColOffset + j
// Unit u of a side is named UnitName[NameOffset(side) + u].
inline int32_t NameOffset(int side) { return side == RowSide ? 0 : ColOffset; }
// How the ties of a network file are written, by its form keyword.
enum NetworkForm : int32_t { MatrixForm = 1, EdgesForm = 2, ArcsForm = 3, NoForm = 5 };
inline int32_t NetForm;    // a NetworkForm; NoForm while none was recognised
// Units of the other side by unit of one side, each list sorted, unit 0's
// empty: in Units[Start[u] .. Start[u + 1]). Where the bit rows are small
// they are kept as well (Words 64-bit words a unit, bit j for unit j), since
// two dense rows compare faster word by word than list by list.
struct UnitLists {
    std::vector<int32_t> Start;  // units 0..n, and n + 1
    std::vector<int32_t> Units;
    std::vector<uint64_t> Bits;  // empty when only the lists are kept
    int32_t Words;
};
// The ties, held once for all threads (network/tie_storage.cpp). A cell's
// value as read is a real number; the binary criterion sees it rounded, and a
// tie is a cell whose rounded value is positive. The mirror cell of (i, j) is
// (j, i), and 0 outside the rows x columns of a two-mode network.
inline UnitLists Ties[2];        // by side: the units of the other side a unit has a tie with
inline UnitLists Asymmetric[2];  // by side: the cells whose mirror cell differs in being a tie
inline UnitLists ValuedCells;    // by row: the columns of the cells whose value is not 0
inline std::vector<int32_t> CellValue;  // beside ValuedCells.Units: the rounded value
inline std::vector<double> CellReal;    // beside ValuedCells.Units: the value as read
inline char (*UnitName)[NameBytes + 1];  // units 1..NumUnits: 10 characters, blank-padded, NUL-terminated
// The whole labels, for the result files, the picture and the console, where
// ten characters would make units look alike: unit k's (numbered as in
// UnitName) is LabelText from LabelStart[k] to LabelStart[k + 1], without the
// blanks that end it; a unit without a label has its default name. Most
// labels are short, so they share one text rather than MaxLabelBytes each.
inline std::string LabelText;
inline uint32_t* LabelStart;  // units 1..NumUnits + 1
inline std::string_view UnitLabel(int unitNumber) {
    return std::string_view(LabelText.data() + LabelStart[unitNumber],
                            LabelStart[unitNumber + 1] - LabelStart[unitNumber]);
}

// Model: filled once by ReadModel, read by the criterion.
inline int32_t ModelRows;  // rows of the model matrix, 2..75: bound on row clusters
inline int32_t ModelCols;  // columns of the model matrix, 2..75
inline uint16_t ModelMatrix[MaxModelSize + 1][MaxModelSize + 1];  // bit t: type t allowed
inline int32_t PenaltyMatrix[MaxModelSize + 1][MaxModelSize + 1]; // multiplier of block errors
inline int32_t NumConstraints;                                    // 0..100
// blocks= of the command line: the types every block of a model of 75 x 75
// blocks allows, read from no model file; 0 when the model file is read.
inline uint16_t GivenBlockTypes;
// What a constraint asks: a unit in a cluster or not, two units together or
// apart, a cluster of at least or at most a size. Other kinds add nothing.
enum ConstraintKinds : int32_t {
    UnitInCluster = 1,
    UnitNotInCluster = 2,
    UnitsTogether = 3,
    UnitsApart = 4,
    ClusterAtLeast = 5,
    ClusterAtMost = 6,
};
inline uint8_t ConstraintKind[MaxConstraints + 1];    // a ConstraintKinds value
inline int32_t ConstraintWeight[MaxConstraints + 1];  // penalty of each constraint
inline uint8_t ConstraintFirst[MaxConstraints + 1];   // unit number, or a size (mod 256)
inline uint8_t ConstraintSecond[MaxConstraints + 1];  // cluster over both sides, or unit (mod 256)

// Criterion parameters: set by the weights dialogue, read by the criterion.
enum ErrorTypes : int32_t { ConstantErrors = 1, SizeErrors = 2 };
enum ValuesRules : int32_t { WithoutValues = 0, AverageValues = 1 };
inline int32_t ErrorType;     // SizeErrors, anything else constant
inline int32_t MinBlockSize;  // size condition of the dominant, regular, function types
inline int32_t ValuesRule;    // AverageValues: block values are computed and printed
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

// The criterion: the binary one counts ties and gaps; the valued ones judge
// a block by the values of its cells, zeros included (null, complete and do
// not care blocks only). Set by criterion= and m= before the network is read.
enum Criteria : int32_t { BinaryCriterion = 0, SquaresCriterion = 1, AbsoluteCriterion = 2, ValuesCriterion = 3 };
inline int32_t Criterion;  // a Criteria value; BinaryCriterion unless criterion= names another
inline double PresetM;     // m=: the value every cell of a complete block reaches (criterion=val)
inline const char* const CriterionName[4] = {"bin", "ss", "ad", "val"};
inline bool ValuedCriterion() { return Criterion != BinaryCriterion; }

// The cell values as the valued criteria add them, built with the tie storage
// when such a criterion is chosen (network/valued_cells.cpp). Every sum of the
// valued criteria is kept exactly, as a fixed-point integer: a cell's term t
// is held as t x 2^TermScale, so block sums are the same whatever the order
// of their additions, in either evaluator. Term A is the value (ss, val) or
// the value with its sign (ad); term B its square (ss), its magnitude (ad) or
// the smaller of it and M (val).
using FixedSum = __int128;
struct CellTerms {
    FixedSum A, B;
};
inline std::vector<CellTerms> CellTerm;  // beside ValuedCells.Units
inline int32_t TermScale[2];             // by term A, B: the power of 2 of the fixed point
inline long double TermUnit[2];          // by term: 2^-TermScale, the value of a fixed-point 1
inline FixedSum FixedM;                  // M on the scale of term B (val)
inline UnitLists ValuedColumns;          // by column: the rows of the cells whose value is not 0
inline std::vector<int32_t> ColumnCell;  // beside ValuedColumns.Units: the cell's index in CellTerm

// Run settings: set by the program flow, the random series and the partition
// reader between repetitions; a search only reads them, on any thread.
enum RunModes : int32_t { StopRun = 0, ReadFileRun = 1, RandomRun = 2 };
inline int32_t RunMode;         // a RunModes value, the answer of the last run dialogue
inline int32_t SideClusters[2];  // clusters of the partitions of each side
// Listing detail, each level adding to the ones below it: the results only,
// every accepted move in the listing, the moves on the console too, every
// trial and intermediate result traced (levels 4 and 5 alike).
enum ListLevels : int32_t { ShortListing = 1, MovesListed = 2, MovesOnConsole = 3, TrialsTraced = 4, FullListing = 5 };
inline int32_t ListLevel;       // a ListLevels value, 1 until the first run dialogue
inline bool ListMoves;          // ListLevel >= MovesListed
inline bool ListTrace;          // ListLevel >= TrialsTraced
inline bool ListClusters;       // ListMoves or ListTrace, recomputed before every repetition
inline bool StartFromFile;      // the start partitions were read from a partition file
inline bool ForceFullEvaluation;  // the search judges every trial by the full scan (tests, benchmarks)
inline bool TiesAsListsOnly;      // the ties are compared as lists alone, never as bit rows (tests)
inline bool OneModeAsked;       // onemode=1 of the command line (never kept in the environment file)
inline bool OneMode;  // one partition: onemode=1 on a one-mode network; the column partition is a copy of the row one
inline int32_t SearchThreads;   // threads= of the command line: 0 every hardware thread, 1 the main thread alone
constexpr int32_t MaxSearchThreads = 64;
// The search of each repetition: the local optimization of its start alone,
// or that followed by a neighbourhood search (search=vns), which shakes the
// best partition so far and optimizes again until ShakeLimit shakes in a row
// bring no improvement.
enum class SearchStrategies : int32_t { Local, Neighbourhood };
inline SearchStrategies SearchStrategy;
inline int32_t ShakeLimit;          // shakes= of the command line, or its default
constexpr int32_t DefaultShakeLimit = 10;
inline double SeriesSeconds;        // time= of the command line: a series ends once it is spent; 0 for none
constexpr int32_t MaxRepetitions = 2147483646;  // of a series; a time budget alone asks for these

// Search: written by one local optimization, one copy per thread. A worker
// thread's copy lives while it runs the searches of a series; the main
// thread's copy is the one the listings, reports and files print, and a
// result searched on a worker is copied into it when it is recorded. The
// criterion reads the working pair, the search keeps the accepted pair; each
// size array counts exactly the units of its partition. The incremental
// criterion's tables, below, are the rest of what a search owns.
inline thread_local uint8_t* Partition[2];                             // by side: working cluster of each unit
inline thread_local int32_t ClusterSize[2][MaxModelSize + 1];          // units in each cluster of Partition
inline thread_local uint8_t* AcceptedPartition[2];                     // by side: accepted cluster of each unit
inline thread_local int32_t AcceptedClusterSize[2][MaxModelSize + 1];  // units in each cluster of AcceptedPartition
inline thread_local double TrialError;    // criterion of the trial partitions
inline thread_local double CurrentError;  // criterion of the accepted partitions
// Per block of the latest evaluation, printed by the block matrix listings.
inline thread_local int32_t BlockTypeMatrix[MaxModelSize + 1][MaxModelSize + 1];  // chosen type, -1 for none
inline thread_local int32_t ErrorMatrix[MaxModelSize + 1][MaxModelSize + 1];      // raw error of the choice
inline thread_local double RealValueMatrix[MaxModelSize + 1][MaxModelSize + 1];   // block value, if asked
// Per block of the latest evaluation under a valued criterion: the error of
// the choice as a real number, and the block's center: its mean (ss), its
// median (ad) or M (val).
inline thread_local double ValuedErrorMatrix[MaxModelSize + 1][MaxModelSize + 1];
inline thread_local double BlockCenterMatrix[MaxModelSize + 1][MaxModelSize + 1];
// The accepted pair once the search ends, in listing order.
inline thread_local int32_t* ListingOrder[2];  // by side: the units cluster by cluster

// The incremental criterion's tables (criterion/incremental_error.cpp): the
// accepted pair as it judges it, the statistics and errors of every block,
// the latest trial and the tables of an exchange phase. One record a thread;
// the tables that grow with the network are sized when a search first needs
// them and kept for the searches after it.
constexpr int MaxUnitFlags = 256;
constexpr int MemoBits = 12;  // the memo of chosen errors holds 2^MemoBits entries
constexpr int ClusterStride = MaxModelSize + 1;  // entries a unit of the per-cluster tables

// The counts of one block that every ideal type's error is made of.
struct BlockStatistics {
    int32_t Units[2];    // rows, columns of the block (n_r, n_c)
    int32_t NonNull[2];  // rows, columns with at least one tie (p_r, p_c)
    int32_t MaxSum[2];   // largest row sum, largest column sum; 0 for no line
    int32_t Ones;        // ties in the block (S)
    int32_t Asymmetry;   // cells whose mirror cell differs (A)
    int32_t Cells;       // block size N, the divisor of the size mode
};

// The chosen errors met so far in this search, by block and statistics. The
// error is a function of these alone while the search runs (the model, the
// weights and the settings stay fixed), so a stored one is the very double
// the procedures would form again. An exchange phase meets the same
// statistics many times: the blocks of one unit's cluster recur for every
// partner with the same counts. An entry of an earlier search is stale.
struct ChosenErrorMemo {
    uint64_t Lines;   // units and non-null lines of both sides
    uint64_t Sums;    // largest sums of both sides, ties
    uint64_t Block;   // asymmetric cells, row and column cluster
    uint32_t Search;  // the search that stored it; 0 for none
    double Error;
};

struct IncrementalTables {
    // The accepted pair as the criterion keeps it: cluster of each unit,
    // units of each cluster (during a trial on both sides it runs a step
    // ahead of the search's own accepted pair).
    uint8_t* KeptCluster[2];
    int32_t KeptClusterSize[2][MaxModelSize + 1];

    // Per unit u of side s and cluster k of the other side, at u x
    // ClusterStride + k: its ties into k, and its asymmetric cells there.
    // Unit 0 keeps zeros.
    uint16_t* TieCount[2];
    uint16_t* AsymmetryCount[2];

    // Per block (r, c) and side s, where the model asks for the largest line
    // sums (a dominant type): how many lines of side s have each line sum,
    // LargestSumCells apart (see SumsOf). Otherwise no largest sum is kept
    // and every MaxSum stays 0.
    bool KeepsLargestSums;
    // Every allowed type is judged by the block's ties and cells alone: the
    // non-null lines of the other side are not kept up to date.
    bool OnesOnly;
    int32_t LargestSumCells[2];  // by side: the other side's units, and 1
    uint16_t* LineSums[2];
    BlockStatistics Stats[MaxModelSize + 1][MaxModelSize + 1];
    double Error[MaxModelSize + 1][MaxModelSize + 1];  // weighted error of the chosen type
    // RowPrefix[r]: the rounded sum of the blocks of row clusters 1..r-1.
    double RowPrefix[MaxModelSize + 2];
    // The sum of the magnitudes of the kept block errors, for the bound on the
    // rounding of a total, and whether every kept error is a whole number.
    long double ErrorMagnitude;
    bool WholeErrors;

    // The latest trial: unit x of side s goes from cluster p to q and unit y
    // (0 for a move) from q to p. Index 0 of the trial arrays holds the blocks of
    // cluster p, index 1 those of q, by cluster k of the other side.
    bool TrialReady;
    int TrialSide, TrialFrom, TrialTo, TrialUnit, TrialPartner;
    BlockStatistics TrialStats[2][MaxModelSize + 1];
    double TrialBlockError[2][MaxModelSize + 1];
    // A trial of one partition on both sides (x from p to q, y from q to p on
    // rows and columns alike) is taken as a row step and a column step; while
    // one runs the exchange tables are left alone, being dropped at every step.
    bool TrialBothSides;
    bool StepByStep;
    bool TotalUnwanted;  // the step only moves the kept state: its total is not formed

    // The other lines of a trial block whose sums change, as packed counts: the
    // lines that lose one tie (Fall) and those that gain one (Rise), each counted
    // by the flags its sum had before the trial in the block's cluster. Each
    // count takes a 16-bit field, so that sums of flags add and subtract field
    // by field (no side has more than 65,535 units).
    uint64_t Fall[2][MaxModelSize + 1];
    uint64_t Rise[2][MaxModelSize + 1];

    // Tables of the exchange trials of one side, built for the kept state and
    // dropped when a trial is accepted. LineFlags at j x ClusterStride + c: the
    // flags of unit j of the other side in cluster c. UnitFlags at u x
    // MaxUnitFlags: per cluster k of the other side and cluster c of side s,
    // the sum of the flags of j in c over the ties j of unit u in k, so an
    // exchange of a and b walks only the ties they share. The unit sums are
    // kept while (clusters of the other side) x (clusters of side s) fit
    // MaxUnitFlags; beyond that the trial walks the ties where a and b differ.
    uint32_t TableState;            // the kept state the tables belong to, counted from 1
    uint32_t LineFlagsState;        // LineFlags was built for this state...
    int LineFlagsSide;              // ...and this side
    uint64_t* LineFlags;
    uint32_t* UnitFlagsState;       // by unit
    uint64_t* UnitFlags;

    // The chosen errors met so far in this search.
    ChosenErrorMemo Memo[1 << MemoBits];
    uint32_t MemoSearch;  // the current search, counted from 1
};
inline thread_local IncrementalTables Tables;

// The incremental criterion's tables under a valued criterion
// (criterion/valued_incremental.cpp), one record a thread. ss and val keep
// the sums of every block and of every line by cluster, so that a trial
// costs the clusters; ad keeps every block's values sorted.
constexpr int MaxTrialBlocks = 4 * MaxModelSize;  // blocks a trial of one partition changes, at most
// The chosen errors met so far in this search (ss, val), by block, sums and
// cells: a move phase tries one unit in every cluster, and the blocks it
// leaves are the same for each; whole-numbered values meet the same sums
// again and again. An entry of an earlier search is stale.
struct ValuedMemo {
    CellTerms Sums;
    int64_t Cells;
    int32_t Block;    // row cluster x 256 + column cluster
    uint32_t Search;  // the search that stored it; 0 for none
    double Error;
};
struct ValuedTablesRecord {
    // The accepted pair as the sums belong to it (ss, val).
    uint8_t* KeptCluster[2];
    int32_t KeptClusterSize[2][MaxModelSize + 1];
    // Per unit u of side s and cluster k of the other side, at u x
    // LineStride[s] + k: the sums of u's cells' terms in k (ss, val).
    CellTerms* LineSums[2];
    int32_t LineStride[2];
    CellTerms Sums[MaxModelSize + 1][MaxModelSize + 1];  // the sums of every block's terms (ad: B only)
    double Error[MaxModelSize + 1][MaxModelSize + 1];    // weighted error of every block's chosen type
    ValuedMemo Memo[1 << MemoBits];
    uint32_t MemoSearch;  // the current search, counted from 1
    double BlockSum;            // the kept errors summed as the total sums them
    long double ErrorMagnitude;  // the sum of their magnitudes, for the bound on the rounding of a total
    bool WholeErrors;            // every kept error is a whole number

    // The latest trial: unit x of side s from cluster p to q, unit y (0 for a
    // move) from q to p, on both sides for one partition; the blocks it
    // changes with their errors.
    bool TrialReady;
    bool TrialBothSides;
    int TrialSide, TrialFrom, TrialTo, TrialUnit, TrialPartner;
    int32_t TrialBlocks;
    uint8_t TrialRow[MaxTrialBlocks], TrialCol[MaxTrialBlocks];
    double TrialError[MaxTrialBlocks];

    // ad: the values of every kept block, sorted, block after block in
    // row-major order (criterion/median_blocks.cpp): block (r, c) is
    // Pool[PoolStart[b] .. PoolStart[b + 1]) with b = (r - 1) x column
    // clusters + c - 1; PoolPrefix[i] sums Pool[0 .. i). MovingStart[w][k]:
    // where the values of the trial's unit x (w = 0) or y (1) in cluster k of
    // the other side begin in Moving[w], sorted.
    FixedSum* Pool;
    FixedSum* PoolPrefix;
    FixedSum* PoolSpare;
    int32_t PoolStart[MaxModelSize * MaxModelSize + 1];
    FixedSum* Moving[2];
    int32_t MovingStart[2][MaxModelSize + 2];

    // ad: the values of the changed blocks, block by block, and where each
    // block's begin; the slot of each changed block, -1 for the others.
    FixedSum* Gathered;
    int32_t GatherStart[MaxTrialBlocks + 1];
    int16_t Slot[MaxModelSize + 1][MaxModelSize + 1];
};
inline thread_local ValuedTablesRecord ValuedTables;

// Results of a series: recorded on the main thread in repetition order,
// reset when a random series starts, reported by the results report.
inline int32_t RepCount;        // repetition counter of the run loop
inline int32_t RepLimit;        // last repetition of the current series
inline int32_t BestRep;         // repetition of BestError; 0 at start
inline double BestError;        // best criterion of the series
inline TopTenEntry TopTen[TopTenSize + 1];  // 1..10 best first; 0 is the candidate being inserted
inline bool EquivalencesListed; // the exact-fit heading was written in this series
inline bool HaveSolution;       // a random series has been started in this run
inline bool EverPartitioned;    // some partition has been set in this run (series or read)
enum SaveOptions : int32_t { SaveNone = 0, SaveAsked = 1, SaveBest = 2, SaveAll = 3 };
inline int32_t SaveOption;      // a SaveOptions value: no, ask, opt, all
inline bool AskSave;            // ask after each repetition whether to save
inline bool SaveThis;           // save the current clustering after this repetition
inline bool PartFileKeepOpen;   // the written partition file stays open across saves
inline bool PartFileOpen;       // the partition file is open (after a read: the read succeeded)

// Texts.
// The title every network file gives a run until the user names another.
inline const char* const DefaultTitle = "2-mode blockmodeling by local optimization";
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
inline std::string PictureFileName;  // the picture beside the listing, named where a matrix is too large to list

// Result files beside the listing for other programs (JSON, picture,
// partitions in the network tools' format), rewritten at every series report.
constexpr int NumResultFiles = 6;
inline std::string ReportedSeriesJson;  // the series reported so far in this run, as JSON objects
inline int32_t SeriesRepetitions;       // repetitions asked for the latest random series
inline bool ResultFileFailed[NumResultFiles];  // that result file could not be written (reported once)
inline bool ResultFileWritten[NumResultFiles];  // the latest report wrote that result file
inline bool ResultWriteFailed;          // some result file could not be written

// The best result of the latest series report, for the console summary. Its
// partitions and block matrices stay current to the end of the run: a new
// series changes them only from its first repetition on, and is reported.
struct ReportedResult {
    bool Made;             // the series had a result, and the report made it current
    int32_t Rep;           // the repetition that first found it
    double Error;          // its total error
    int32_t Clusterings;   // repetitions the series made
    int32_t Clusters[2];   // by side
};
inline ReportedResult LatestReport;

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
// One question of the dialogues, as the dialogues ask it and the command
// line answers it (settings/questions.cpp holds them all).
enum class AnswerKind { Integer, Real, Text, YesNo };
// The bound the network and model put on an integer answer.
enum class DataLimit { None, RowClusters, ColClusters, Clusters, Units };
struct Question {
    const char* Prompt;   // as written on the console
    const char* Keyword;  // of the argument that answers it; "" for none
    AnswerKind Kind;
    double Min, Max;      // range of a number; Max before the data are known
    DataLimit Limit;      // the bound the network and model put on Max
    const char* Default;  // a scripted run's answer when no argument gives one
};
struct NamedAnswerEntry {
    const Question* Asked;  // the question it answers
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

// A sweep over cluster counts (rows=A..B, cols=C..D): one random series per
// pair of counts, rows outer and columns inner, each from the seed the run
// began with. The named answers read the ranges and plan the sweep once the
// network and model are known; the answers of the run dialogues move it on;
// each series report records its pair's best error for the sweep picture.
inline bool Sweep;              // rows= or cols= named a range (one partition: rows= did)
inline int32_t SweepFirst[2];   // by side: the first count of its range; 0 when the side takes one count
inline int32_t SweepLast[2];    // by side: the last count of its range
inline int32_t SweepPair[2];    // by side: the count of the current series, where the side is swept
inline double SweepError[MaxModelSize + 1][MaxModelSize + 1];  // by pair: best error reported; NoResultError for none

// Random generator state, seeded once per run (a sweep starts each of its
// series from that seed again).
inline uint32_t RandomSeed;
inline bool SeedFixed;      // the seed was given (KORVEL_SEED or the command line), not the clock
inline uint32_t FixedSeed;  // that seed
inline uint32_t RunSeed;    // the seed the generator began the run with

// The listing detail asked for.
inline bool WritesMovesOnConsole() { return ListLevel >= MovesOnConsole; }
inline bool Debugging() { return DebugLevel > 0; }

// The smaller and the larger of two values.
inline int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }
inline int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }
