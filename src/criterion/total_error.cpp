// The criterion totals: the best allowed type of every block,
// ties going to the type of higher priority, and the total error P with the
// penalties of violated constraints. This is the reference evaluation: every
// call rescans every block of the working partitions.
//
// Arithmetic: every addition is done in long double (80-bit extended) and
// rounded to double after it.
#include "criterion/total_error.h"

#include "console/output.h"
#include "criterion/block_errors.h"
#include "criterion/type_errors.h"
#include "criterion/valued_errors.h"
#include "state.h"

double BlockError(int r, int c, bool showErrors) {
    if (ValuedCriterion()) return ValuedBlockError(r, c, showErrors);
    int32_t rawErrors[NumTypeCodes] = {};
    double typeErrors[NumTypeCodes];
    BlockTypeErrors(r, c, rawErrors, typeErrors);

    double best;
    int32_t chosen = ChosenType(typeErrors, best);

    if (ListTrace) {
        ListLine(" error[ %2d, %2d ] = %10.3f%5d", r, c, best, chosen);
        FlushListing();
    }

    BlockTypeMatrix[r][c] = chosen;
    ErrorMatrix[r][c] = chosen >= 0 ? rawErrors[chosen] : 0;  // no type, no error count
    if (showErrors) BlockValue(r, c, chosen);
    return best;
}

// The amount constraint k adds to P. Operands come from the model file
// unchecked, so a constraint counts only when its unit operands, reduced to
// their side, lie in 1..the units of that side and its cluster operand,
// reduced, in 1..the current clusters of that side; any other constraint, and
// every kind other than 1..6, adds nothing.
static int64_t ConstraintAmount(int k) {
    int32_t kind = ConstraintKind[k];
    int32_t a = ConstraintFirst[k];
    int32_t b = ConstraintSecond[k];
    int64_t penalty = ConstraintWeight[k];
    switch (kind) {
        case UnitInCluster:
        case UnitNotInCluster:
        case ClusterAtLeast:
        case ClusterAtMost: {
            bool colSide = b > ModelRows;
            int32_t cluster = colSide ? b - ModelRows : b;
            int32_t clusters = colSide ? SideClusters[ColSide] : SideClusters[RowSide];
            if (cluster < 1 || cluster > clusters) return 0;
            if (kind == ClusterAtLeast || kind == ClusterAtMost) {
                int64_t size = colSide ? ClusterSize[ColSide][cluster] : ClusterSize[RowSide][cluster];
                if (kind == ClusterAtLeast && size < a) return (a - size) * penalty;
                if (kind == ClusterAtMost && size > a) return (size - a) * penalty;
                return 0;
            }
            int32_t unit = colSide ? a - SideUnits[RowSide] : a;
            int32_t units = colSide ? SideUnits[ColSide] : SideUnits[RowSide];
            if (unit < 1 || unit > units) return 0;
            int32_t inCluster = colSide ? Partition[ColSide][unit] : Partition[RowSide][unit];
            bool violated = kind == UnitInCluster ? inCluster != cluster : inCluster == cluster;
            return violated ? penalty : 0;
        }
        case UnitsTogether:
        case UnitsApart: {
            bool colSide = b > SideUnits[RowSide];
            int32_t first = colSide ? a - SideUnits[RowSide] : a;
            int32_t second = colSide ? b - SideUnits[RowSide] : b;
            int32_t units = colSide ? SideUnits[ColSide] : SideUnits[RowSide];
            if (first < 1 || first > units || second < 1 || second > units) return 0;
            const uint8_t* partition = colSide ? Partition[ColSide] : Partition[RowSide];
            bool same = partition[first] == partition[second];
            bool violated = kind == UnitsTogether ? !same : same;
            return violated ? penalty : 0;
        }
        default:
            return 0;
    }
}

double ConstraintPenalty() {
    double penaltySum = 0.0;
    for (int k = 1; k <= NumConstraints; ++k) {
        penaltySum = AddExtended(penaltySum, static_cast<long double>(ConstraintAmount(k)));
    }
    return penaltySum;
}

double TotalError(bool showErrors) {
    if (ListTrace) {
        ListEndLine();
        ListLine("*** Total error");
        for (int i = 1; i <= SideUnits[RowSide]; ++i) ListPrint(" %3d", Partition[RowSide][i]);
        ListEndLine();
        for (int j = 1; j <= SideUnits[ColSide]; ++j) ListPrint(" %3d", Partition[ColSide][j]);
        ListEndLine();
    }

    double blockSum = 0.0;
    for (int r = 1; r <= SideClusters[RowSide]; ++r) {
        for (int c = 1; c <= SideClusters[ColSide]; ++c) {
            blockSum = AddExtended(blockSum, BlockError(r, c, showErrors));
        }
    }

    return AddExtended(blockSum, ConstraintPenalty());
}
