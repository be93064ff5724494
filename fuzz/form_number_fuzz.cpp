// The form's number parser on arbitrary text, and the form's display of a value read back by
// the same parser: the form shows 15 significant digits, so a value comes back within that
// precision, is always accepted, and does not move on any later round.
#include "fuzz/fuzz_support.h"
#include "ui/form/form_number.h"

#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using ervalun::FormatFormNumber;
using ervalun::FormNumberStatus;
using ervalun::ParseFormNumber;

void RoundTrip(double v) {
    using fuzz_support::Check;
    const std::string shown = FormatFormNumber(v);
    double back = -1.0;
    Check(ParseFormNumber(shown, back) == FormNumberStatus::Ok,
          "a value of 0..360 the form shows is a number the form accepts");
    Check(std::fabs(back - v) <= v * 1e-14 + 5e-324, "15 significant digits come back");
    Check(FormatFormNumber(back) == shown, "the value shown again is the same text");
    double again = -1.0;
    Check(ParseFormNumber(FormatFormNumber(back), again) == FormNumberStatus::Ok && again == back,
          "after one round the value stays the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz_support::Check;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    double value = -1.0;
    const FormNumberStatus status = ParseFormNumber(text, value);
    if (status == FormNumberStatus::Ok) {
        Check(value >= 0.0 && value <= 360.0, "an accepted value lies in 0..360");
        RoundTrip(value);
    } else {
        Check(value == -1.0, "a refused text writes no value");
    }

    // The same bytes as a double: every value, NaN and infinities included, has a display.
    if (size >= sizeof(double)) {
        double raw = 0.0;
        std::memcpy(&raw, data, sizeof raw);
        Check(!FormatFormNumber(raw).empty(), "every double has a display");
        if (raw >= 0.0 && raw <= 360.0) {
            RoundTrip(raw);
        }
    }
    return 0;
}
