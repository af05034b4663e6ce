// The main program flow. It owns no algorithm beyond the order of the steps:
// start-up, the three working files, the network and the model, the title and
// weights dialogues, then the run loop in which the user reads start
// partitions from a file, runs random series, or stops.
#include "driver/program_flow.h"

#include <string>

#include "console/bad_input.h"
#include "console/file_roles.h"
#include "console/file_select.h"
#include "console/interrupts.h"
#include "console/listing_pages.h"
#include "console/output.h"
#include "console/prompts.h"
#include "console/stop.h"
#include "console/text_input.h"
#include "driver/usage.h"
#include "network/matrix_listings.h"
#include "network/model_file.h"
#include "network/network_reader.h"
#include "results/partition_files.h"
#include "results/progress_line.h"
#include "results/repetition_record.h"
#include "results/result_files.h"
#include "results/results_report.h"
#include "results/run_summary.h"
#include "search/accepted_partitions.h"
#include "search/cluster_listings.h"
#include "search/local_optimization.h"
#include "search/random_starts.h"
#include "search/series_clock.h"
#include "search/threaded_series.h"
#include "settings/cluster_sweep.h"
#include "settings/dialogues.h"
#include "settings/environment.h"
#include "settings/keywords.h"
#include "settings/named_answers.h"
#include "settings/weights_dialogue.h"
#include "state.h"

// A file another run holds was already named as in use by the open.
[[noreturn]] static void StopCannotOpen(const std::string& name) {
    if (FileInUse) StopAfterMessage();
    StopOnBadInput("Cannot open %s", name.c_str());
}

static void StartUp() {
    HaveSolution = false;
    BannerName = "K O R V E L";
    ShowBanner("2-mode blockmodeling by local optimization", VersionDate, YearRange);
    ConLine("ORVEN / 2 Mode Blockmodeling");
    ScanEnvKeyword();
    LoadEnvironment();
    ApplyCommandLine();
    ShowEnvironment();
    if (ParametersToChange()) {
        ConLine("To change the parameters rerun the program  ");
        WaitForEnter();
        SaveEnvironment();
        EndProgram(1);
    }
}

static void OpenWorkingFiles() {
    // blocks= is the model: no model file is asked for, read or claimed.
    bool modelFile = GivenBlockTypes == 0;
    // A scripted run asks no names, so its input files are known before any
    // file is opened: a missing one, or one that is the environment file,
    // stops it before the listing is created.
    if (ScriptedRun) {
        RequireExistingFile(NetFileName);
        if (modelFile) RequireExistingFile(MdlFileName);
        ClaimFile(NetworkRole, NetFileName);
        if (modelFile) ClaimFile(ModelRole, MdlFileName);
    }
    SelectFile("LST - list file", LstFileName);
    // A listing that another run holds is named as such by its open; a new
    // one is created only once the result names are this run's.
    bool listingExisted = FileExists(LstFileName);
    if (!listingExisted) ClaimResultFiles();
    ListingFile = OpenSelectedOutputFile(AppendMode, LstFileName, ListingRole);
    if (ListingFile == nullptr) StopCannotOpen(LstFileName);
    if (listingExisted) ClaimResultFiles();
    if (!OpenInputFile(NetFile, NetFileName, "NET - network data file", NetworkRole)) StopCannotOpen(NetFileName);
    if (modelFile && !OpenInputFile(ModelFile, MdlFileName, "MDL - model data file", ModelRole))
        StopCannotOpen(MdlFileName);
    ListLevel = ShortListing;
    ListMoves = false;
    ListTrace = false;
    ProgramName = "KORVEL";
    RunLabel = std::string(10, ' ');
    PageLength = 60;
    PageNumber = 0;
    // Answers that the network and model may refuse are checked before
    // anything of this run stays in the listing.
    if (NamedAnswersNeedData()) HoldListing();
    NewLines(100);
    NewLines(1);
    ListLine("NET - file = %s", NetFileName.c_str());
    NewLines(1);
    ListLine("LST - file = %s", LstFileName.c_str());
    NewLines(1);
    if (modelFile) {
        ListLine("MDL - file = %s", MdlFileName.c_str());
    } else {
        ListLine("MDL - blocks = %s", GivenBlocksText().c_str());
    }
    NewLines(1);
    ListEndLine();
    FlushListing();
}

// The report of the series just ended: its best result made current, then
// written. clusters: the counts its summary shows when it has no result.
static void ReportSeries(const int32_t clusters[2]) {
    // A Ctrl-C lets the report end and leaves SeriesInterrupted set.
    InterruptMode before = HoldInterrupt();
    MakeBestCurrent();
    WriteSeriesReport(clusters);
    FlushListing();
    EndHold(before);
}

// The run dialogue; false when the user stops.
static bool RunDialogue() {
    AskRunMode();
    if (RunMode == StopRun) return false;
    if (RunMode == ReadFileRun) {
        ReadPartitionFile();
        if (PartFileOpen) EverPartitioned = true;
    } else {
        StartFromFile = false;
        int32_t clusters[2];
        AskClusterCounts(clusters);
        AskSeriesSettings(clusters);
        // Repetitions since the last series began are still unreported; their
        // best result becomes current, with its own cluster counts, for the report.
        if (RepCount > 1) ReportSeries(clusters);
        StartRandomSeries(clusters);
        EverPartitioned = true;
        // A Ctrl-C while the previous series was reported ends the run there.
        if (SeriesInterrupted) {
            ConLine("Interrupted: the new series is not run");
            return false;
        }
    }
    AskListLevel();
    if (RunMode == RandomRun) StartProgressLine();
    return true;
}

// One pass of the run loop after its dialogue: a repetition of the search.
static void Repetition() {
    if (RunMode == RandomRun) DrawRandomStarts();
    ListClusters = ListMoves || ListTrace;
    if (HaveSolution) WriteProgressMark();
    for (int s = RowSide; s <= ColSide; ++s) WriteClusterListing(s, Partition[s], ClusterSize[s]);
    CopyWorkingToAccepted();
    if (ListClusters) WriteNetworkMatrix();
    SearchLocalOptimum(RepCount);
    RecordResult();
    SaveResult();
}

// The recording of a repetition searched on a worker thread.
static void RecordThreadedRepetition() {
    WriteProgressMark();
    RecordResult();
    SaveResult();
}

static void RunLoop() {
    RepCount = 0;
    RepLimit = 0;
    // Starts read from a partition file before any random series enter an
    // empty list of results, exactly as a new series leaves it.
    ResetSeriesResults();
    SeedRandom();
    AskSave = false;
    SaveThis = false;
    PartFileOpen = false;
    PartFileKeepOpen = true;
    for (;;) {
        ++RepCount;
        if (SeriesInterrupted) {
            ConEndLine();
            ConLine("Interrupted: the series ends after repetition %d", RepCount - 1);
            return;
        }
        if (RepCount > RepLimit) {
            // Ctrl-C at a typed question ends the program at once; a
            // scripted run answers the dialogue at once and goes on to its end.
            if (!ScriptedRun) ReleaseSeriesInterrupt();
            if (!RunDialogue()) return;
            if (RunMode == RandomRun) CatchSeriesInterrupt();
        }
        // A rejected partition file before any partition exists leaves
        // nothing to optimize: the pass does not count as a repetition.
        if (!EverPartitioned) {
            --RepCount;
            continue;
        }
        if (SeriesRunsOnThreads() && RunThreadedSeries(RecordThreadedRepetition)) continue;
        Repetition();
        EndSeriesOnTime();
    }
}

// One partition for rows and columns alike, when asked for and the network
// has one set of units.
static void ChooseOneMode() {
    OneMode = OneModeAsked && !TwoMode;
    if (OneModeAsked && TwoMode) ConLine("onemode=1 ignored: the network is two-mode");
}

void RunProgram() {
    AnswerUsageArguments();
    ReadNamedAnswers();
    StartUp();
    OpenWorkingFiles();
    ReadNetwork();
    ReportNegativeValues();
    WriteNetworkMatrix();
    ListLevel = ShortListing;
    NumConstraints = 0;
    if (GivenBlockTypes != 0) {
        UseGivenBlocks();
    } else {
        ReadModel();
    }
    ChooseOneMode();
    CheckNamedAnswersAgainstData();
    PlanSweep();
    ReleaseListing();
    TitleDialogue();
    WeightsDialogue();
    FlushListing();
    RunLoop();
    // From the report to the files closed a Ctrl-C waits: cut here, the run
    // would leave a listing cut in a line, result files of two runs side by
    // side and the environment unsaved.
    HoldInterrupt();
    // No repetition since the last report: a Ctrl-C came before the new series ran.
    if (HaveSolution && RepCount > 1) ReportSeries(SideClusters);
    SaveEnvironment();
    ConEndLine();
    ConLine("K O R V E L - end");
    CloseOutputFiles();
    CloseTextFile(NetFile);
    CloseTextFile(ModelFile);
    // Nothing else on a scripted run's console says what it found.
    if (ScriptedRun) WriteRunSummary();
    // Everything is written: at the wait for Enter, as at any question,
    // Ctrl-C ends the program at once. When Ctrl-C asked for the end, a wait
    // would only stand in its way; a scripted run does not wait.
    if (!ScriptedRun && !SeriesInterrupted) {
        ConFlush();
        ReleaseSeriesInterrupt();
        // A Ctrl-C held just before the release asked for the end too.
        if (!SeriesInterrupted) WaitForEnter();
    }
    // A clustering, listing or result file that could not be kept is a failed
    // run, even when it was interrupted: 130 promises that the series' work is saved.
    bool failed = ListingWriteFailed || PartitionWriteFailed || PartitionSaveSkipped || EnvWriteFailed ||
                  ResultWriteFailed;
    EndProgram(failed ? 1 : SeriesInterrupted ? 130 : 0);
}
