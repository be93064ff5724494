#pragma once

#include <cstddef>

namespace ervalun {

// Whether a list's selected index designates one of its size entries. It may not: -1 means no
// selection, and a store of the form that stopped at a refused number before reading the list
// leaves the index of an earlier choice.
inline bool DesignatesEntry(int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

} // namespace ervalun
