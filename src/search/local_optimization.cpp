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
#include "search/cluster_listings.h"
#include "search/neighbourhood_search.h"
#include "state.h"

// This search judges its trials by the incremental criterion.
static thread_local bool Incremental;

static void CopyTrial(int s) {
    std::memcpy(AcceptedPartition[s] + 1, Partition[s] + 1, static_cast<size_t>(SideUnits[s]));
    std::memcpy(AcceptedClusterSize[s], ClusterSize[s], sizeof ClusterSize[s]);
}

// The accepted partition of a side := its working (trial) partition and sizes.
static void AcceptTrial(int s) {
    CopyTrial(s);
    CurrentError = TrialError;
    if (Incremental) AcceptIncrementalTrial();
}

// The same for a trial of one partition on both sides.
static void AcceptBothSides() {
    CopyTrial(RowSide);
    CopyTrial(ColSide);
    CurrentError = TrialError;
    if (Incremental) AcceptIncrementalTrial();
}

// The trace dump of an accepted partition after a move (separator ' ', as
// in "ROW CLUSTER ") or an exchange ('-').
static void WritePartitionDump(int s, char separator) {
    for (int j = 1; j <= SideClusters[s]; ++j) {
        ListLine("%s%cCLUSTER %d / %d", SideHeading[s], separator, j, AcceptedClusterSize[s][j]);
        for (int u = 1; u <= SideUnits[s]; ++u)
            if (AcceptedPartition[s][u] == j) ListLine("%5d %-10s", u, UnitName[NameOffset(s) + u]);
    }
}

// Tries unit u of side S at every other cluster in turn, keeping each move
// that lowers the error; gives the last cluster it moved to, 0 for none.
template <int S>
static int TryUnitMoves(int u) {
    int moved = 0;
    for (int c = 1; c <= SideClusters[S]; ++c) {
        int b = AcceptedPartition[S][u];  // re-read: an accepted move changes it
        if (c == b || AcceptedClusterSize[S][b] <= 1) continue;
        Partition[S][u] = static_cast<uint8_t>(c);
        ++ClusterSize[S][c];
        --ClusterSize[S][b];
        TrialError = Incremental ? MoveError(S, u, c, CurrentError) : TotalError();
        if (ListTrace) {
            WriteModelMatrix();
            ListLine("try %s %3d : %3d --> %2d  error =%12.3f", SideWord[S], u, b, c, TrialError);
        }
        if (!(TrialError < CurrentError)) {  // strict: an equal error is no gain
            Partition[S][u] = static_cast<uint8_t>(b);
            --ClusterSize[S][c];
            ++ClusterSize[S][b];
            continue;
        }
        AcceptTrial(S);
        moved = c;
        if (ListMoves)
            ListLine("move %s unit %3d from %3d to %2d  error =%12.3f", SideWord[S], u, b, c, CurrentError);
        if (WritesMovesOnConsole())
            ConLine("move %s unit %3d from %3d to %2d      error =%12.3f", SideWord[S], u, b, c, CurrentError);
        if (ListTrace) WritePartitionDump(S, ' ');
    }
    return moved;
}

// Tries every unit of side S at every other cluster until as many visits in
// a row as the side has units have brought nothing.
template <int S>
static void MovePhase() {
    int32_t noImproveCount = 0;
    int u = 0;
    CopyAcceptedToWorking();
    do {
        u = u % SideUnits[S] + 1;
        int moved = TryUnitMoves<S>(u);
        if (moved != 0) noImproveCount = -moved;
        noImproveCount += SideClusters[S];
    } while (noImproveCount < SideUnits[S] * SideClusters[S]);
}

// Tries every pair of units of side S in different clusters; true after the
// first exchange that lowers the error, which is then accepted.
template <int S>
static bool ExchangePhase() {
    // Exchanges never change cluster sizes.
    CopyAcceptedToWorking();
    for (int a = 1; a < SideUnits[S]; ++a) {
        for (int b = a + 1; b <= SideUnits[S]; ++b) {
            int ca = AcceptedPartition[S][a], cb = AcceptedPartition[S][b];
            if (ca == cb) continue;
            Partition[S][a] = static_cast<uint8_t>(cb);
            Partition[S][b] = static_cast<uint8_t>(ca);
            TrialError = Incremental ? ExchangeError(S, a, b, CurrentError) : TotalError();
            if (ListTrace) {
                WriteModelMatrix();
                ListLine("try %3d/%1d <--> %2d/%1d  error =%12.3f", a, ca, b, cb, TrialError);
            }
            if (!(TrialError < CurrentError)) {
                Partition[S][a] = static_cast<uint8_t>(ca);
                Partition[S][b] = static_cast<uint8_t>(cb);
                continue;
            }
            AcceptTrial(S);
            if (ListMoves)
                ListLine("transpose %ss %3d/%1d and %3d/%1d  error =%12.3f", SideWord[S], a, ca, b, cb, CurrentError);
            if (WritesMovesOnConsole())
                ConLine("transpose %ss %3d/%1d and %3d/%1d   error =%12.3f", SideWord[S], a, ca, b, cb, CurrentError);
            if (ListTrace) WritePartitionDump(S, '-');
            return true;
        }
    }
    return false;
}

// One partition of a one-mode network: unit u of the rows and of the
// columns goes to cluster c (the same on both sides). Keeps it when it
// lowers the error; true then.
static bool TryBothSidesMove(int u, int c) {
    int b = AcceptedPartition[RowSide][u];
    for (int s : {RowSide, ColSide}) {
        Partition[s][u] = static_cast<uint8_t>(c);
        ++ClusterSize[s][c];
        --ClusterSize[s][b];
    }
    TrialError = Incremental ? BothSidesMoveError(u, c) : TotalError();
    if (ListTrace) {
        WriteModelMatrix();
        ListLine("try unit %3d : %3d --> %2d  error =%12.3f", u, b, c, TrialError);
    }
    if (!(TrialError < CurrentError)) {
        for (int s : {RowSide, ColSide}) {
            Partition[s][u] = static_cast<uint8_t>(b);
            --ClusterSize[s][c];
            ++ClusterSize[s][b];
        }
        return false;
    }
    AcceptBothSides();
    if (ListMoves) ListLine("move unit %3d from %3d to %2d  error =%12.3f", u, b, c, CurrentError);
    if (WritesMovesOnConsole()) ConLine("move unit %3d from %3d to %2d      error =%12.3f", u, b, c, CurrentError);
    if (ListTrace) WritePartitionDump(RowSide, ' ');
    return true;
}

// The move phase of one partition: as MovePhase, each trial on both sides.
// Unit u of one partition tried at every other cluster in turn, as
// TryUnitMoves tries it on one side; gives the last cluster it moved to, 0
// for none.
static int TryBothSidesUnitMoves(int u) {
    int moved = 0;
    for (int c = 1; c <= SideClusters[RowSide]; ++c) {
        int b = AcceptedPartition[RowSide][u];
        if (c == b || AcceptedClusterSize[RowSide][b] <= 1) continue;
        if (TryBothSidesMove(u, c)) moved = c;
    }
    return moved;
}

static void BothSidesMovePhase() {
    int32_t noImproveCount = 0;
    int u = 0;
    CopyAcceptedToWorking();
    do {
        u = u % SideUnits[RowSide] + 1;
        int moved = TryBothSidesUnitMoves(u);
        if (moved != 0) noImproveCount = -moved;
        noImproveCount += SideClusters[RowSide];
    } while (noImproveCount < SideUnits[RowSide] * SideClusters[RowSide]);
}

// The exchange phase of one partition: as ExchangePhase, each trial on both sides.
static bool BothSidesExchangePhase() {
    CopyAcceptedToWorking();
    for (int a = 1; a < SideUnits[RowSide]; ++a) {
        for (int b = a + 1; b <= SideUnits[RowSide]; ++b) {
            int ca = AcceptedPartition[RowSide][a], cb = AcceptedPartition[RowSide][b];
            if (ca == cb) continue;
            for (int s : {RowSide, ColSide}) {
                Partition[s][a] = static_cast<uint8_t>(cb);
                Partition[s][b] = static_cast<uint8_t>(ca);
            }
            TrialError = Incremental ? BothSidesExchangeError(a, b) : TotalError();
            if (ListTrace) {
                WriteModelMatrix();
                ListLine("try %3d/%1d <--> %2d/%1d  error =%12.3f", a, ca, b, cb, TrialError);
            }
            if (!(TrialError < CurrentError)) {
                for (int s : {RowSide, ColSide}) {
                    Partition[s][a] = static_cast<uint8_t>(ca);
                    Partition[s][b] = static_cast<uint8_t>(cb);
                }
                continue;
            }
            AcceptBothSides();
            if (ListMoves) ListLine("transpose units %3d/%1d and %3d/%1d  error =%12.3f", a, ca, b, cb, CurrentError);
            if (WritesMovesOnConsole())
                ConLine("transpose units %3d/%1d and %3d/%1d   error =%12.3f", a, ca, b, cb, CurrentError);
            if (ListTrace) WritePartitionDump(RowSide, '-');
            return true;
        }
    }
    return false;
}

void StartTrials() {
    // The trace levels print what only the full scan writes.
    Incremental = !ForceFullEvaluation && !ListTrace;
    if (Incremental) StartIncrementalError();
}

// Unit u of side s (of both sides with one partition) from cluster b to c
// in the working partitions.
static void PlaceWorking(int s, int u, int b, int c) {
    for (int t = OneMode ? RowSide : s; t <= (OneMode ? ColSide : s); ++t) {
        Partition[t][u] = static_cast<uint8_t>(c);
        ++ClusterSize[t][c];
        --ClusterSize[t][b];
    }
}

// The error of the working partitions, where unit u of side s just moved to c.
static double WorkingMoveError(int s, int u, int c) {
    return !Incremental ? TotalError() : OneMode ? BothSidesMoveError(u, c) : MoveError(s, u, c);
}

void ForceMove(int s, int u, int c) {
    PlaceWorking(s, u, AcceptedPartition[s][u], c);
    TrialError = WorkingMoveError(s, u, c);
    if (OneMode) {
        AcceptBothSides();
    } else {
        AcceptTrial(s);
    }
}

double MoveTrialError(int s, int u, int c) {
    const int b = AcceptedPartition[s][u];
    PlaceWorking(s, u, b, c);
    const double error = WorkingMoveError(s, u, c);
    PlaceWorking(s, u, c, b);
    return error;
}

bool SettleUnits(const ShakenUnit units[], int count) {
    bool moved = false;
    CopyAcceptedToWorking();
    for (int i = 0; i < count; ++i) {
        const int u = units[i].Unit;
        const int to = OneMode                      ? TryBothSidesUnitMoves(u)
                       : units[i].Side == RowSide ? TryUnitMoves<RowSide>(u)
                                                  : TryUnitMoves<ColSide>(u);
        moved = moved || to != 0;
    }
    return moved;
}

void DescendByMoves() {
    if (OneMode) {
        BothSidesMovePhase();
        return;
    }
    // The rows settle first; the columns' moves may unsettle them again,
    // and a phase that moves nothing leaves both sides settled.
    MovePhase<RowSide>();
    for (;;) {
        double before = CurrentError;
        MovePhase<ColSide>();
        if (!(CurrentError < before)) return;
        before = CurrentError;
        MovePhase<RowSide>();
        if (!(CurrentError < before)) return;
    }
}

void ImproveSettled() {
    // Moves have nothing more to give: an exchange, if any, starts the whole
    // cycle of the local optimization again.
    const bool exchanged = OneMode ? BothSidesExchangePhase() : ExchangePhase<RowSide>() || ExchangePhase<ColSide>();
    if (exchanged) ImproveToLocalOptimum();
}

void ImproveToLocalOptimum() {
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
}

void SearchLocalOptimum(int32_t rep) {
    // The start.
    if (ListTrace) ListLine("*** Local optimization %d", rep);
    CurrentError = TotalError(true);
    if (ListClusters) {
        WriteModelMatrix();
        WriteErrorMatrix();
        if (StartFromFile && ValuesRule == AverageValues) WriteValueMatrix();
    }
    if (ListTrace || StartFromFile) {
        NewLines(1);
        ListLine("%5d. initial error =%12s", rep, ErrorText(CurrentError).c_str());
        ListEndLine();
        FlushListing();
    }

    StartTrials();
    ImproveToLocalOptimum();
    if (SearchStrategy == SearchStrategies::Neighbourhood) SearchNeighbourhood(rep);

    // The local optimum becomes the listing order and the working pair.
    for (int s = RowSide; s <= ColSide; ++s) {
        if (ListTrace) {
            WriteClusterListing(s, AcceptedPartition[s], AcceptedClusterSize[s]);
        } else {
            BuildListingOrder(AcceptedPartition[s], ListingOrder[s], SideClusters[s], SideUnits[s]);
        }
    }
    CopyAcceptedToWorking();
    if (ListClusters) WriteNetworkMatrix();
    CurrentError = TotalError(true);
    if (ListClusters) {
        WriteModelMatrix();
        WriteErrorMatrix();
        if (ValuesRule == AverageValues) WriteValueMatrix();
    }
}
