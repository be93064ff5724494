#include "data/local_date_time.h"

#include <ctime>

namespace ervalun {

LocalDateTime CurrentLocalDateTime() {
    // The user may have changed the time zone since start-up; read it again.
    tzset();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    LocalDateTime out;
    if (localtime_r(&now, &local) == nullptr) {
        return out;
    }
    out.year = local.tm_year + 1900;
    out.month = local.tm_mon + 1;
    out.day = local.tm_mday;
    out.hour = local.tm_hour;
    out.minute = local.tm_min;
    out.second = local.tm_sec;
    return out;
}

} // namespace ervalun
