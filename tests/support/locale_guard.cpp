#include "tests/support/locale_guard.h"

#include <clocale>
#include <cstdio>
#include <cstring>

namespace testing_support {

ScopedLocale::ScopedLocale(std::initializer_list<const char*> names) {
    const char* current = std::setlocale(LC_ALL, nullptr);
    previous_ = current != nullptr ? current : "C";
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            ok_ = true;
            return;
        }
    }
}

ScopedLocale::~ScopedLocale() {
    std::setlocale(LC_ALL, previous_.c_str());
}

bool FrenchLocale::WritesDecimalComma() {
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    return std::strcmp(probe, "1,5") == 0;
}

} // namespace testing_support
