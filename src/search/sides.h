// The two sides of the network as one table, index RowSide (0) for the rows
// and ColSide (1) for the columns, so that the search, the partition files
// and the reports write each step once for both sides. Side(s) gives the
// calling thread's arrays of the search state. The search takes its side as
// a template argument: the selection then folds away at compile time and
// each side keeps a copy of its own, with no side to look up in the loop of
// its trials.
#pragma once

#include <cstdint>

#include "state.h"

// What one side keeps. Arrays indexed from 1, as in the state.
struct SideTable {
    uint8_t* Partition;            // working partition
    uint8_t* ClusterSize;          // units in each cluster of Partition
    uint8_t* AcceptedPartition;    // accepted partition
    uint8_t* AcceptedClusterSize;  // units in each cluster of AcceptedPartition
    uint8_t* Order;                // listing order of the accepted partition
    UnitSet* ClusterSets;          // clusters of the accepted partition as sets
    int32_t Units;                 // NumRows or NumCols
    int32_t Clusters;              // NumRowClusters or NumColClusters
    int32_t NameOffset;            // unit u of the side is named UnitName[NameOffset + u]
    const char* Lower;             // "row" or "col" in the listing lines
    const char* Upper;             // "ROW" or "COL"
};

inline SideTable Side(int s) {
    if (s == RowSide)
        return SideTable{RowPartition, RowClusterSize, AcceptedRowPartition, AcceptedRowClusterSize, RowOrder,
                         RowClusterSets, NumRows, NumRowClusters, 0, "row", "ROW"};
    return SideTable{ColPartition, ColClusterSize, AcceptedColPartition, AcceptedColClusterSize, ColOrder,
                     ColClusterSets, NumCols, NumColClusters, ColOffset, "col", "COL"};
}
