#pragma once

#include <cstddef>
#include <vector>

namespace vantle::plist {

// Codec work tables live per thread between calls so that steady traffic does not allocate;
// tables larger than this are given back instead of kept.
inline constexpr size_t kRetainedTableBytes = size_t(8) << 20;

template <typename T> void recycleTable(std::vector<T>& table) {
    if (table.capacity() * sizeof(T) > kRetainedTableBytes)
        std::vector<T>().swap(table);
    else
        table.clear();
}

} // namespace vantle::plist
