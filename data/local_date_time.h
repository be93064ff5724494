#pragma once

// A local civil date and time, as written to the log.
struct LocalDateTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

namespace ervalun {

// The current local date and time, with the time-zone settings refreshed first.
LocalDateTime CurrentLocalDateTime();

} // namespace ervalun
