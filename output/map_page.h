#pragma once

#include <string>

namespace ervalun {

// The 18 lines of the map page, each ending with a newline: the three 50-pixel markers (first
// point, second point, result) over the map image, all absolutely placed.
std::string FormatMapPage(int imageWidth, int imageHeight, int left1, int top1, int left2, int top2,
                          int left3, int top3);

} // namespace ervalun
