// The per-thread tables of the incremental criteria grow with the network a
// search meets and are kept for the searches after it.
#pragma once

#include <cstddef>
#include <vector>

// The table with room for at least entries, new entries zero.
template <typename T>
T* Grown(std::vector<T>& table, size_t entries) {
    if (table.size() < entries) table.resize(entries, T{});
    return table.data();
}
