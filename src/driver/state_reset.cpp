// The problem state as at program start. The program itself starts from the
// zero-initialised globals; this serves the drivers that run many problems in
// one process (tests, fuzzing), so that no problem can lean on what the one
// before it left.
#include "driver/state_reset.h"

#include <cstring>

#include "console/text_input.h"
#include "network/tie_storage.h"
#include "state.h"
#include "state_memory.h"

// Drivers that set a small network or partitions by hand find tables for
// 250 units a side, as the program once held from the start, and no ties.
constexpr int32_t HandSetUnits = 250;

static void ResetNetwork() {
    NumUnits = 2 * HandSetUnits;
    SideUnits[RowSide] = SideUnits[ColSide] = HandSetUnits;
    SizeNetworkState();
    std::memset(UnitName, 0, sizeof UnitName[0] * (2 * HandSetUnits + 1));
    LabelText.clear();
    std::memset(LabelStart, 0, sizeof LabelStart[0] * (2 * HandSetUnits + 2));
    StartCells();
    FinishCells();
    ReleaseCells();
    NumUnits = SideUnits[RowSide] = SideUnits[ColSide] = ColOffset = NetForm = 0;
    TwoMode = false;
}

static void ResetModel() {
    ModelRows = ModelCols = NumConstraints = 0;
    GivenBlockTypes = 0;
    std::memset(ModelMatrix, 0, sizeof ModelMatrix);
    std::memset(PenaltyMatrix, 0, sizeof PenaltyMatrix);
    std::memset(ConstraintKind, 0, sizeof ConstraintKind);
    std::memset(ConstraintWeight, 0, sizeof ConstraintWeight);
    std::memset(ConstraintFirst, 0, sizeof ConstraintFirst);
    std::memset(ConstraintSecond, 0, sizeof ConstraintSecond);
}

static void ResetPartitions() {
    SideClusters[RowSide] = SideClusters[ColSide] = 0;
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memset(Partition[s], 0, HandSetUnits + 1);
        std::memset(AcceptedPartition[s], 0, HandSetUnits + 1);
        std::memset(ListingOrder[s], 0, (HandSetUnits + 1) * sizeof(int32_t));
    }
    std::memset(ClusterSize, 0, sizeof ClusterSize);
    std::memset(AcceptedClusterSize, 0, sizeof AcceptedClusterSize);
}

static void ResetResults() {
    std::memset(BlockTypeMatrix, 0, sizeof BlockTypeMatrix);
    std::memset(ErrorMatrix, 0, sizeof ErrorMatrix);
    std::memset(RealValueMatrix, 0, sizeof RealValueMatrix);
    std::memset(ValuedErrorMatrix, 0, sizeof ValuedErrorMatrix);
    std::memset(BlockCenterMatrix, 0, sizeof BlockCenterMatrix);
    BestRep = 0;
    for (TopTenEntry& entry : TopTen) entry = TopTenEntry{};
    EquivalencesListed = false;
}

static void ResetCriterion() {
    ErrorType = MinBlockSize = ValuesRule = 0;
    std::memset(TypeWeight, 0, sizeof TypeWeight);
    std::memset(TypePriority, 0, sizeof TypePriority);
    std::memset(PrioritySequence, 0, sizeof PrioritySequence);
    DiaDensity = OutDensity = 0.0;
    ForceFullEvaluation = false;
    TiesAsListsOnly = false;
    SearchThreads = 0;
    SearchStrategy = SearchStrategies::Local;
    ShakeLimit = DefaultShakeLimit;
    SeriesSeconds = 0;
    OneModeAsked = false;
    OneMode = false;
    Criterion = BinaryCriterion;
    PresetM = 0.0;
}

static void ResetRunControl() {
    RunMode = RepCount = RepLimit = ListLevel = 0;
    ListMoves = ListTrace = ListClusters = false;
    StartFromFile = HaveSolution = EverPartitioned = false;
    SaveOption = 0;
    AskSave = SaveThis = false;
    TrialError = CurrentError = BestError = 0.0;
    PartFileKeepOpen = PartFileOpen = false;
    RandomSeed = 0;
    SeedFixed = false;
    FixedSeed = RunSeed = 0;
    Sweep = false;
    std::memset(SweepFirst, 0, sizeof SweepFirst);
    std::memset(SweepLast, 0, sizeof SweepLast);
    std::memset(SweepPair, 0, sizeof SweepPair);
    for (auto& row : SweepError)
        for (double& error : row) error = NoResultError;
}

static void ResetTextsAndFiles() {
    Title.clear();
    ListTitle.clear();
    TitleText.clear();
    ProgramName.clear();
    BannerName.clear();
    RunLabel.clear();
    PageLength = 0;
    PageNumber = LineOnPage = 0;
    CloseTextFile(NetFile);
    CloseTextFile(ModelFile);
    if (ListingFile != nullptr) std::fclose(ListingFile);
    ListingFile = nullptr;
    if (HeldListingFile != nullptr) std::fclose(HeldListingFile);
    HeldListingFile = nullptr;
    ListingBuffered = 0;
    FileInUse = false;
    if (PartitionFile != nullptr) std::fclose(PartitionFile);
    PartitionFile = nullptr;
    ListingWriteFailed = PartitionWriteFailed = PartitionSaveSkipped = EnvWriteFailed = false;
    ConsoleInputEnded = false;
    ReportedSeriesJson.clear();
    SeriesRepetitions = 0;
    std::memset(ResultFileFailed, 0, sizeof ResultFileFailed);
    std::memset(ResultFileWritten, 0, sizeof ResultFileWritten);
    ResultWriteFailed = false;
    LatestReport = ReportedResult{};
    for (FileClaim& claim : FileClaims) claim = FileClaim{};
    NumFileClaims = 0;
    NoResultFiles = false;
    PictureFileName.clear();
}

static void ResetSettings() {
    RawFileName.clear();
    NetFileName.clear();
    NamFileName.clear();
    VarFileName.clear();
    LstFileName.clear();
    PartFileName.clear();
    MdlFileName.clear();
    ExtFileName.clear();
    DisFileName.clear();
    EnvUnits = 0;
    EnvVars = DebugLevel = EnvSource = EnvDism = EnvAssc = EnvNorm = 0;
    EnvFileName.clear();
    UserText.clear();
    ArgCount = 0;
    ArgValues = nullptr;
    for (NamedAnswerEntry& entry : NamedAnswers) entry = NamedAnswerEntry{};
    NumNamedAnswers = 0;
    ScriptedRun = false;
    SeriesInterrupted = 0;
}

void ResetProblemState() {
    ResetNetwork();
    ResetModel();
    ResetPartitions();
    ResetResults();
    ResetCriterion();
    ResetRunControl();
    ResetTextsAndFiles();
    ResetSettings();
}
