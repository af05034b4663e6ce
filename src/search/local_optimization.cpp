// Local optimization of one start. Moves of single units and exchanges of two
// units are tried in a fixed order and the first trial with a strictly lower
// total error is taken at once. Every trial is judged on the working pair: the
// trial partition of one side and the accepted one of the other, made by
// changing the one or two units of the trial in the working partition and
// putting them back when the trial is rejected. The search writes only its
// own thread's copy of the search state; entering the result into the
// results of the series is a step of its own (repetition_record.cpp), taken
// on the main thread in repetition order.
//
// The trials are judged by the incremental criterion, which gives the full
// scan's total bit for bit at a fraction of its cost. The trace levels keep
// the full scan, since its block traces and the model matrix of every trial
// are what they print.
#include "search/local_optimization.h"

#include <cstring>

#include "console/listing_pages.h"
#include "console/output.h"
#include "criterion/block_listings.h"
#include "criterion/incremental_error.h"
#include "criterion/total_error.h"
#include "network/matrix_listings.h"
#include "search/accepted_partitions.h"
#include "search/repetition_record.h"
#include "search/results_report.h"
#include "state.h"

// This search judges its trials by the incremental criterion.
static thread_local bool Incremental;

// The accepted partition of a side := its working (trial) partition and sizes.
static void AcceptRowTrial() {
    std::memcpy(AcceptedRowPartition + 1, RowPartition + 1, static_cast<size_t>(NumRows));
    std::memcpy(AcceptedRowClusterSize, RowClusterSize, sizeof AcceptedRowClusterSize);
    CurrentError = TrialError;
    if (Incremental) AcceptIncrementalTrial();
}

static void AcceptColTrial() {
    std::memcpy(AcceptedColPartition + 1, ColPartition + 1, static_cast<size_t>(NumCols));
    std::memcpy(AcceptedColClusterSize, ColClusterSize, sizeof AcceptedColClusterSize);
    CurrentError = TrialError;
    if (Incremental) AcceptIncrementalTrial();
}

// The trace dump of an accepted partition after a move or an exchange.
static void WritePartitionDump(const char* label, const uint8_t partition[], const uint8_t sizes[],
                               int offset, int k, int n) {
    for (int j = 1; j <= k; ++j) {
        ListLine("%s%d / %d", label, j, sizes[j]);
        for (int u = 1; u <= n; ++u)
            if (partition[u] == j) ListLine("%5d %-10s", u, UnitName[offset + u]);
    }
}

// Tries every unit of the rows at every other cluster until NumRows visits
// in a row have brought nothing.
static void RowMovePhase() {
    int32_t noImproveCount = 0;
    int u = 0;
    CopyAcceptedToWorking();
    do {
        u = u % NumRows + 1;
        for (int c = 1; c <= NumRowClusters; ++c) {
            int b = AcceptedRowPartition[u];  // re-read: an accepted move changes it
            if (c == b || AcceptedRowClusterSize[b] <= 1) continue;
            RowPartition[u] = static_cast<uint8_t>(c);
            ++RowClusterSize[c];
            --RowClusterSize[b];
            TrialError = Incremental ? RowMoveError(u, c, CurrentError) : TotalError();
            if (ListTrace) {
                WriteModelMatrix();
                ListLine("try row %3d : %3d --> %2d  error =%12.3f", u, b, c, TrialError);
            }
            if (!(TrialError < CurrentError)) {  // strict: an equal error is no gain
                RowPartition[u] = static_cast<uint8_t>(b);
                --RowClusterSize[c];
                ++RowClusterSize[b];
                continue;
            }
            AcceptRowTrial();
            noImproveCount = -c;
            if (ListMoves)
                ListLine("move row unit %3d from %3d to %2d  error =%12.3f", u, b, c, CurrentError);
            if (ListLevel > 2)
                ConLine("move row unit %3d from %3d to %2d      error =%12.3f", u, b, c, CurrentError);
            if (ListTrace)
                WritePartitionDump("ROW CLUSTER ", AcceptedRowPartition, AcceptedRowClusterSize, 0,
                                   NumRowClusters, NumRows);
        }
        noImproveCount += NumRowClusters;
    } while (noImproveCount < NumRows * NumRowClusters);
}

static void ColMovePhase() {
    int32_t noImproveCount = 0;
    int v = 0;
    CopyAcceptedToWorking();
    do {
        v = v % NumCols + 1;
        for (int c = 1; c <= NumColClusters; ++c) {
            int b = AcceptedColPartition[v];
            if (c == b || AcceptedColClusterSize[b] <= 1) continue;
            ColPartition[v] = static_cast<uint8_t>(c);
            ++ColClusterSize[c];
            --ColClusterSize[b];
            TrialError = Incremental ? ColMoveError(v, c, CurrentError) : TotalError();
            if (ListTrace) {
                WriteModelMatrix();
                ListLine("try col %3d : %3d --> %2d  error =%12.3f", v, b, c, TrialError);
            }
            if (!(TrialError < CurrentError)) {
                ColPartition[v] = static_cast<uint8_t>(b);
                --ColClusterSize[c];
                ++ColClusterSize[b];
                continue;
            }
            AcceptColTrial();
            noImproveCount = -c;
            if (ListMoves)
                ListLine("move col unit %3d from %3d to %2d  error =%12.3f", v, b, c, CurrentError);
            if (ListLevel > 2)
                ConLine("move col unit %3d from %3d to %2d      error =%12.3f", v, b, c, CurrentError);
            if (ListTrace)
                WritePartitionDump("COL CLUSTER ", AcceptedColPartition, AcceptedColClusterSize,
                                   ColOffset, NumColClusters, NumCols);
        }
        noImproveCount += NumColClusters;
    } while (noImproveCount < NumCols * NumColClusters);
}

// Tries every pair of row units in different clusters; true after the first
// exchange that lowers the error, which is then accepted.
static bool RowExchange() {
    // Exchanges never change cluster sizes.
    CopyAcceptedToWorking();
    for (int a = 1; a < NumRows; ++a) {
        for (int b = a + 1; b <= NumRows; ++b) {
            int ca = AcceptedRowPartition[a], cb = AcceptedRowPartition[b];
            if (ca == cb) continue;
            RowPartition[a] = static_cast<uint8_t>(cb);
            RowPartition[b] = static_cast<uint8_t>(ca);
            TrialError = Incremental ? RowExchangeError(a, b, CurrentError) : TotalError();
            if (ListTrace) {
                WriteModelMatrix();
                ListLine("try %3d/%1d <--> %2d/%1d  error =%12.3f", a, ca, b, cb, TrialError);
            }
            if (!(TrialError < CurrentError)) {
                RowPartition[a] = static_cast<uint8_t>(ca);
                RowPartition[b] = static_cast<uint8_t>(cb);
                continue;
            }
            AcceptRowTrial();
            if (ListMoves)
                ListLine("transpose rows %3d/%1d and %3d/%1d  error =%12.3f", a, ca, b, cb, CurrentError);
            if (ListLevel > 2)
                ConLine("transpose rows %3d/%1d and %3d/%1d   error =%12.3f", a, ca, b, cb, CurrentError);
            if (ListTrace)
                WritePartitionDump("ROW-CLUSTER ", AcceptedRowPartition, AcceptedRowClusterSize, 0,
                                   NumRowClusters, NumRows);
            return true;
        }
    }
    return false;
}

static bool ColExchange() {
    CopyAcceptedToWorking();
    for (int a = 1; a < NumCols; ++a) {
        for (int b = a + 1; b <= NumCols; ++b) {
            int ca = AcceptedColPartition[a], cb = AcceptedColPartition[b];
            if (ca == cb) continue;
            ColPartition[a] = static_cast<uint8_t>(cb);
            ColPartition[b] = static_cast<uint8_t>(ca);
            TrialError = Incremental ? ColExchangeError(a, b, CurrentError) : TotalError();
            if (ListTrace) {
                WriteModelMatrix();
                ListLine("try %3d/%1d <--> %2d/%1d  error =%12.3f", a, ca, b, cb, TrialError);
            }
            if (!(TrialError < CurrentError)) {
                ColPartition[a] = static_cast<uint8_t>(ca);
                ColPartition[b] = static_cast<uint8_t>(cb);
                continue;
            }
            AcceptColTrial();
            if (ListMoves)
                ListLine("transpose cols %3d/%1d and %3d/%1d  error =%12.3f", a, ca, b, cb, CurrentError);
            if (ListLevel > 2)
                ConLine("transpose cols %3d/%1d and %3d/%1d   error =%12.3f", a, ca, b, cb, CurrentError);
            if (ListTrace)
                WritePartitionDump("COL-CLUSTER ", AcceptedColPartition, AcceptedColClusterSize,
                                   ColOffset, NumColClusters, NumCols);
            return true;
        }
    }
    return false;
}

void SearchLocalOptimum(int32_t rep) {
    // The start.
    if (ListLevel > 3) ListLine("*** Local optimization %d", rep);
    CurrentError = TotalError(true);
    if (ListClusters) {
        WriteModelMatrix();
        WriteErrorMatrix();
        if (StartFromFile && ValuesRule == 1) WriteValueMatrix();
    }
    if (ListLevel > 3 || StartFromFile) {
        NewLines(1);
        ListLine("%5d. initial error =%12.3f", rep, CurrentError);
        ListEndLine();
        FlushListing();
    }

    // The trace levels print what only the full scan writes. On entry the
    // working pair is the accepted one, which the evaluator starts from.
    Incremental = !ForceFullEvaluation && !ListTrace;
    if (Incremental) StartIncrementalError();

    // Moves until both sides settle, then the first improving exchange, if
    // any, starts the whole cycle again.
    bool searchDone = false;
    while (!searchDone) {
        RowMovePhase();
        ColMovePhase();
        searchDone = !RowExchange() && !ColExchange();
    }

    // The local optimum becomes the listing order, the sets and the working pair.
    if (ListLevel > 3) {
        WriteClusterListing(AcceptedRowPartition, AcceptedRowClusterSize, RowOrder, false,
                            NumRowClusters, NumRows);
        WriteClusterListing(AcceptedColPartition, AcceptedColClusterSize, ColOrder, true,
                            NumColClusters, NumCols);
    } else {
        BuildListingOrder(AcceptedRowPartition, RowOrder, NumRowClusters, NumRows);
        BuildListingOrder(AcceptedColPartition, ColOrder, NumColClusters, NumCols);
    }
    BuildClusterSets(AcceptedRowPartition, RowClusterSets, NumRows);
    BuildClusterSets(AcceptedColPartition, ColClusterSets, NumCols);
    CopyAcceptedToWorking();
    if (ListClusters) WriteNetworkMatrix();
    CurrentError = TotalError(true);
    if (ListClusters) {
        WriteModelMatrix();
        WriteErrorMatrix();
        if (ValuesRule == 1) WriteValueMatrix();
    }
}

void LocalOptimization() {
    SearchLocalOptimum(RepCount);
    RecordResult();
}
