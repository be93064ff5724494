#include "data/records.h"

#include <cstring>

bool NameLess(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    // memcmp compares as unsigned char, whatever the signedness of char.
    const int c = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
    if (c != 0) {
        return c < 0;
    }
    return a.size() < b.size();
}
