// A sweep is a scripted run that answers the run dialogue once per pair of
// cluster counts, as a user typing one series after the other would; so the
// console, the listing and the result files of each series are those of any
// series, and only the answers and the seed (random_starts.cpp) know of it.
#include "settings/cluster_sweep.h"

#include <cstring>
#include <string>

#include "console/text_input.h"

bool ParseClusterCounts(const char* text, int32_t& first, int32_t& last) {
    const char* dots = std::strstr(text, "..");
    if (dots == nullptr) {
        if (!ParseInt32(text, first)) return false;
        last = first;
        return true;
    }
    return ParseInt32(std::string(text, dots).c_str(), first) && ParseInt32(dots + 2, last);
}

int ClusterSideOf(const Question& q) {
    switch (q.Limit) {
        case DataLimit::RowClusters:
        case DataLimit::Clusters: return RowSide;
        case DataLimit::ColClusters: return ColSide;
        default: return -1;
    }
}

void PlanSweep() {
    // One partition takes its one count from rows=; cols= is ignored.
    if (OneMode) SweepFirst[ColSide] = SweepLast[ColSide] = 0;
    Sweep = SweepFirst[RowSide] > 0 || SweepFirst[ColSide] > 0;
    for (int s = RowSide; s <= ColSide; ++s) SweepPair[s] = SweepFirst[s];
    for (auto& row : SweepError)
        for (double& error : row) error = NoResultError;
}

bool SweepAnswer(const Question& q, GivenAnswer& given) {
    int side = ClusterSideOf(q);
    if (!Sweep || side < 0 || SweepFirst[side] == 0) return false;
    given = GivenAnswer{q.Keyword, std::to_string(SweepPair[side])};
    return true;
}

bool NextSweepPair() {
    // A partition file read in place of the first series ends the run as
    // without a sweep.
    if (!Sweep || RunMode != RandomRun) return false;
    for (int s = ColSide; s >= RowSide; --s) {
        if (SweepFirst[s] == 0) continue;
        if (SweepPair[s] < SweepLast[s]) {
            ++SweepPair[s];
            return true;
        }
        SweepPair[s] = SweepFirst[s];
    }
    return false;
}
