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
#include "search/sides.h"
#include "state.h"

// This search judges its trials by the incremental criterion.
static thread_local bool Incremental;

// The incremental error of a trial of side S, chosen when the side's copy is compiled.
template <int S>
static double MoveError(int u, int c) {
    if constexpr (S == RowSide) return RowMoveError(u, c, CurrentError);
    return ColMoveError(u, c, CurrentError);
}

template <int S>
static double ExchangeError(int a, int b) {
    if constexpr (S == RowSide) return RowExchangeError(a, b, CurrentError);
    return ColExchangeError(a, b, CurrentError);
}

static void CopyTrial(const SideTable& side) {
    std::memcpy(side.AcceptedPartition + 1, side.Partition + 1, static_cast<size_t>(side.Units));
    std::memcpy(side.AcceptedClusterSize, side.ClusterSize, MaxModelSize + 1);
}

// The accepted partition of a side := its working (trial) partition and sizes.
static void AcceptTrial(const SideTable& side) {
    CopyTrial(side);
    CurrentError = TrialError;
    if (Incremental) AcceptIncrementalTrial();
}

// The same for a trial of one partition on both sides.
static void AcceptBothSides() {
    CopyTrial(Side(RowSide));
    CopyTrial(Side(ColSide));
    CurrentError = TrialError;
    if (Incremental) AcceptIncrementalTrial();
}

// The trace dump of an accepted partition after a move (separator ' ', as
// in "ROW CLUSTER ") or an exchange ('-').
static void WritePartitionDump(const SideTable& side, char separator) {
    for (int j = 1; j <= side.Clusters; ++j) {
        ListLine("%s%cCLUSTER %d / %d", side.Upper, separator, j, side.AcceptedClusterSize[j]);
        for (int u = 1; u <= side.Units; ++u)
            if (side.AcceptedPartition[u] == j) ListLine("%5d %-10s", u, UnitName[side.NameOffset + u]);
    }
}

// Tries every unit of side S at every other cluster until as many visits in
// a row as the side has units have brought nothing.
template <int S>
static void MovePhase() {
    const SideTable side = Side(S);
    int32_t noImproveCount = 0;
    int u = 0;
    CopyAcceptedToWorking();
    do {
        u = u % side.Units + 1;
        for (int c = 1; c <= side.Clusters; ++c) {
            int b = side.AcceptedPartition[u];  // re-read: an accepted move changes it
            if (c == b || side.AcceptedClusterSize[b] <= 1) continue;
            side.Partition[u] = static_cast<uint8_t>(c);
            ++side.ClusterSize[c];
            --side.ClusterSize[b];
            TrialError = Incremental ? MoveError<S>(u, c) : TotalError();
            if (ListTrace) {
                WriteModelMatrix();
                ListLine("try %s %3d : %3d --> %2d  error =%12.3f", side.Lower, u, b, c, TrialError);
            }
            if (!(TrialError < CurrentError)) {  // strict: an equal error is no gain
                side.Partition[u] = static_cast<uint8_t>(b);
                --side.ClusterSize[c];
                ++side.ClusterSize[b];
                continue;
            }
            AcceptTrial(side);
            noImproveCount = -c;
            if (ListMoves)
                ListLine("move %s unit %3d from %3d to %2d  error =%12.3f", side.Lower, u, b, c, CurrentError);
            if (ListLevel > 2)
                ConLine("move %s unit %3d from %3d to %2d      error =%12.3f", side.Lower, u, b, c, CurrentError);
            if (ListTrace) WritePartitionDump(side, ' ');
        }
        noImproveCount += side.Clusters;
    } while (noImproveCount < side.Units * side.Clusters);
}

// Tries every pair of units of side S in different clusters; true after the
// first exchange that lowers the error, which is then accepted.
template <int S>
static bool ExchangePhase() {
    const SideTable side = Side(S);
    // Exchanges never change cluster sizes.
    CopyAcceptedToWorking();
    for (int a = 1; a < side.Units; ++a) {
        for (int b = a + 1; b <= side.Units; ++b) {
            int ca = side.AcceptedPartition[a], cb = side.AcceptedPartition[b];
            if (ca == cb) continue;
            side.Partition[a] = static_cast<uint8_t>(cb);
            side.Partition[b] = static_cast<uint8_t>(ca);
            TrialError = Incremental ? ExchangeError<S>(a, b) : TotalError();
            if (ListTrace) {
                WriteModelMatrix();
                ListLine("try %3d/%1d <--> %2d/%1d  error =%12.3f", a, ca, b, cb, TrialError);
            }
            if (!(TrialError < CurrentError)) {
                side.Partition[a] = static_cast<uint8_t>(ca);
                side.Partition[b] = static_cast<uint8_t>(cb);
                continue;
            }
            AcceptTrial(side);
            if (ListMoves)
                ListLine("transpose %ss %3d/%1d and %3d/%1d  error =%12.3f", side.Lower, a, ca, b, cb, CurrentError);
            if (ListLevel > 2)
                ConLine("transpose %ss %3d/%1d and %3d/%1d   error =%12.3f", side.Lower, a, ca, b, cb, CurrentError);
            if (ListTrace) WritePartitionDump(side, '-');
            return true;
        }
    }
    return false;
}

// One partition of a one-mode network: unit u of the rows and of the
// columns goes to cluster c (the same on both sides). Keeps it when it
// lowers the error; true then.
static bool TryBothSidesMove(int u, int c) {
    const SideTable rows = Side(RowSide), cols = Side(ColSide);
    int b = rows.AcceptedPartition[u];
    for (const SideTable& side : {rows, cols}) {
        side.Partition[u] = static_cast<uint8_t>(c);
        ++side.ClusterSize[c];
        --side.ClusterSize[b];
    }
    TrialError = Incremental ? BothSidesMoveError(u, c) : TotalError();
    if (ListTrace) {
        WriteModelMatrix();
        ListLine("try unit %3d : %3d --> %2d  error =%12.3f", u, b, c, TrialError);
    }
    if (!(TrialError < CurrentError)) {
        for (const SideTable& side : {rows, cols}) {
            side.Partition[u] = static_cast<uint8_t>(b);
            --side.ClusterSize[c];
            ++side.ClusterSize[b];
        }
        return false;
    }
    AcceptBothSides();
    if (ListMoves) ListLine("move unit %3d from %3d to %2d  error =%12.3f", u, b, c, CurrentError);
    if (ListLevel > 2) ConLine("move unit %3d from %3d to %2d      error =%12.3f", u, b, c, CurrentError);
    if (ListTrace) WritePartitionDump(rows, ' ');
    return true;
}

// The move phase of one partition: as MovePhase, each trial on both sides.
static void BothSidesMovePhase() {
    const SideTable side = Side(RowSide);
    int32_t noImproveCount = 0;
    int u = 0;
    CopyAcceptedToWorking();
    do {
        u = u % side.Units + 1;
        for (int c = 1; c <= side.Clusters; ++c) {
            int b = side.AcceptedPartition[u];
            if (c == b || side.AcceptedClusterSize[b] <= 1) continue;
            if (TryBothSidesMove(u, c)) noImproveCount = -c;
        }
        noImproveCount += side.Clusters;
    } while (noImproveCount < side.Units * side.Clusters);
}

// The exchange phase of one partition: as ExchangePhase, each trial on both sides.
static bool BothSidesExchangePhase() {
    const SideTable rows = Side(RowSide), cols = Side(ColSide);
    CopyAcceptedToWorking();
    for (int a = 1; a < rows.Units; ++a) {
        for (int b = a + 1; b <= rows.Units; ++b) {
            int ca = rows.AcceptedPartition[a], cb = rows.AcceptedPartition[b];
            if (ca == cb) continue;
            for (const SideTable& side : {rows, cols}) {
                side.Partition[a] = static_cast<uint8_t>(cb);
                side.Partition[b] = static_cast<uint8_t>(ca);
            }
            TrialError = Incremental ? BothSidesExchangeError(a, b) : TotalError();
            if (ListTrace) {
                WriteModelMatrix();
                ListLine("try %3d/%1d <--> %2d/%1d  error =%12.3f", a, ca, b, cb, TrialError);
            }
            if (!(TrialError < CurrentError)) {
                for (const SideTable& side : {rows, cols}) {
                    side.Partition[a] = static_cast<uint8_t>(ca);
                    side.Partition[b] = static_cast<uint8_t>(cb);
                }
                continue;
            }
            AcceptBothSides();
            if (ListMoves) ListLine("transpose units %3d/%1d and %3d/%1d  error =%12.3f", a, ca, b, cb, CurrentError);
            if (ListLevel > 2)
                ConLine("transpose units %3d/%1d and %3d/%1d   error =%12.3f", a, ca, b, cb, CurrentError);
            if (ListTrace) WritePartitionDump(rows, '-');
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
    while (OneMode && !searchDone) {
        BothSidesMovePhase();
        searchDone = !BothSidesExchangePhase();
    }
    while (!searchDone) {
        MovePhase<RowSide>();
        MovePhase<ColSide>();
        searchDone = !ExchangePhase<RowSide>() && !ExchangePhase<ColSide>();
    }

    // The local optimum becomes the listing order, the sets and the working pair.
    for (int s = RowSide; s <= ColSide; ++s) {
        const SideTable side = Side(s);
        if (ListLevel > 3) {
            WriteClusterListing(s, side.AcceptedPartition, side.AcceptedClusterSize);
        } else {
            BuildListingOrder(side.AcceptedPartition, side.Order, side.Clusters, side.Units);
        }
        BuildClusterSets(side.AcceptedPartition, side.ClusterSets, side.Units);
    }
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
