#pragma once

#include <initializer_list>
#include <string>

namespace testing_support {

// Switches the whole process to a locale for the life of the object, then back to the one it
// found. Checks of locale independence need a locale whose printf writes a decimal comma.
class ScopedLocale {
public:
    // Takes the first of the names the system knows; ok() is false when it knows none.
    explicit ScopedLocale(std::initializer_list<const char*> names);
    ~ScopedLocale();
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    bool ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_ = false;
};

// The French locale, under the names systems give it.
class FrenchLocale : public ScopedLocale {
public:
    FrenchLocale() : ScopedLocale({"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"}) {}
    // Whether printf writes 1.5 as "1,5" now: the French locale really took effect.
    static bool WritesDecimalComma();
};

} // namespace testing_support
