#pragma once

#include <cstddef>
#include <string>

// The generated directory the benchmarks read: realistic records, reproducible from a seed.

namespace bench_support {

// records lines of "ervalun.txt": French place-like names of 4 to 40 bytes in UTF-8, accents
// included (Saint-Étienne-des-Prés, Col-du-Gîte...), some repeated, latitude 0 to 89 and
// longitude 0 to 179 degrees, seconds with 0 to 2 decimals, about a third south and two
// fifths west. A million records make about 40 MB.
std::string RealisticDirectory(int records, unsigned seed = 20260715);

// Writes text to path whole; false when it could not.
bool WriteWholeFile(const std::string& path, const std::string& text);

// Bytes the heap holds for the program now (glibc's count of allocated bytes), to measure what
// a loaded list takes.
std::size_t HeapBytesInUse();

} // namespace bench_support
