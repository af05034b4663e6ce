// A reset of the problem state for the fuzz drivers. It is written here rather
// than borrowed from the test helpers so that the fuzz build needs nothing but
// the program's own sources; it clears every group a reader writes, so that no
// input can lean on what the previous one left.
#include "fuzz_state.h"

#include <cstring>

#include "driver/state.h"

static void ResetNetwork() {
    NumUnits = NumRows = NumCols = ColOffset = NetForm = 0;
    TwoMode = false;
    std::memset(NetworkMatrix, 0, sizeof NetworkMatrix);
    std::memset(BinaryMatrix, 0, sizeof BinaryMatrix);
    std::memset(UnitName, 0, sizeof UnitName);
}

static void ResetModel() {
    ModelRows = ModelCols = NumConstraints = 0;
    std::memset(ModelMatrix, 0, sizeof ModelMatrix);
    std::memset(PenaltyMatrix, 0, sizeof PenaltyMatrix);
    std::memset(ConstraintKind, 0, sizeof ConstraintKind);
    std::memset(ConstraintWeight, 0, sizeof ConstraintWeight);
    std::memset(ConstraintFirst, 0, sizeof ConstraintFirst);
    std::memset(ConstraintSecond, 0, sizeof ConstraintSecond);
}

static void ResetPartitions() {
    NumRowClusters = NumColClusters = 0;
    std::memset(RowPartition, 0, sizeof RowPartition);
    std::memset(ColPartition, 0, sizeof ColPartition);
    std::memset(RowClusterSize, 0, sizeof RowClusterSize);
    std::memset(ColClusterSize, 0, sizeof ColClusterSize);
    std::memset(AcceptedRowPartition, 0, sizeof AcceptedRowPartition);
    std::memset(AcceptedColPartition, 0, sizeof AcceptedColPartition);
    std::memset(AcceptedRowClusterSize, 0, sizeof AcceptedRowClusterSize);
    std::memset(AcceptedColClusterSize, 0, sizeof AcceptedColClusterSize);
    std::memset(RowOrder, 0, sizeof RowOrder);
    std::memset(ColOrder, 0, sizeof ColOrder);
}

// Results start empty, as a new random series leaves them.
static void ResetResults() {
    std::memset(BlockTypeMatrix, 0, sizeof BlockTypeMatrix);
    std::memset(ErrorMatrix, 0, sizeof ErrorMatrix);
    std::memset(RealValueMatrix, 0, sizeof RealValueMatrix);
    BestRep = 0;
    std::memset(RowClusterSets, 0, sizeof RowClusterSets);
    std::memset(ColClusterSets, 0, sizeof ColClusterSets);
    std::memset(TopTen, 0, sizeof TopTen);
    for (int k = 1; k <= 10; ++k) TopTen[k].Error = 2e10;
    BestError = 2e10;
    EquivalencesListed = false;
}

static void ResetRunControl() {
    RunMode = RepCount = RepLimit = 0;
    ListLevel = 1;
    ListMoves = ListTrace = ListClusters = false;
    StartFromFile = HaveSolution = EverPartitioned = false;
    SaveOption = 0;
    AskSave = SaveThis = ShowErrors = false;
    TrialError = CurrentError = 0.0;
    PartFileKeepOpen = PartFileOpen = false;
    Ch = 0;
    PageLength = 60;
    PageNumber = LineOnPage = 0;
    ListingWriteFailed = PartitionWriteFailed = EnvWriteFailed = false;
}

static void ResetTexts() {
    Title = "ORVEN / PC - network structure analysis";
    ListTitle.clear();
    TitleText.clear();
    ProgramName = "KORVEL";
    BannerName = "K O R V E L";
    RunLabel = std::string(10, ' ');
}

static void ResetSettings() {
    UserText = "ORVEN public version";
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
    EnvVars = DebugLevel = EnvSource = EnvDism = EnvAssc = EnvNorm = 0;
    EnvFileName = "Tebra.ENV";
    ArgCount = 0;
    ArgValues = nullptr;
}

void ResetProblemState() {
    ResetNetwork();
    ResetModel();
    ResetPartitions();
    ResetResults();
    ResetRunControl();
    ResetTexts();
    ResetSettings();
}
