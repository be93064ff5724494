#pragma once

#include <string>

namespace ervalun {

// The 18 lines of the map page, each ending with a newline: the three 50-pixel markers (first
// point, second point, result) over the map image, all absolutely placed.
std::string FormatMapPage(int imageWidth, int imageHeight, int left1, int top1, int left2, int top2,
                          int left3, int top3);

// Replaces the file with the given bytes: written to a new file in the same folder and renamed
// over the target, so a reader sees the old content or the new, never a part. On failure the
// target is untouched and the temporary file removed. Returns true when replaced.
bool ReplaceFileAtomically(const std::string& fileName, const std::string& bytes);

} // namespace ervalun
