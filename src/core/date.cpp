#include "core/date.h"

#include <cmath>
#include <cstdio>

namespace infotrakon {
namespace {

// Days from 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's civil algorithms).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

CivilDate CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// 1899-12-30 counted from 1970-01-01.
constexpr std::int64_t kOleEpochFromUnix = -25569;

}  // namespace

bool Date::IsValidCivil(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int last = month == 2 && leap ? 29 : kDays[month - 1];
    return day <= last;
}

Date Date::FromCivil(int year, int month, int day) {
    return FromDayNumber(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        kOleEpochFromUnix);
}

Date Date::FromCivil(int year, int month, int day, int hour, int minute, int second) {
    return FromDayNumber(FromCivil(year, month, day).dayNumber_,
                         hour * 3600 + minute * 60 + second);
}

Date Date::FromDayNumber(std::int64_t dayNumber) {
    Date date;
    date.dayNumber_ = dayNumber;
    return date;
}

Date Date::FromDayNumber(std::int64_t dayNumber, int secondsOfDay) {
    Date date = FromDayNumber(dayNumber);
    date.secondsOfDay_ = secondsOfDay;
    date.hasTime_ = secondsOfDay != 0;
    return date;
}

Date Date::FromOle(double oleDate) {
    // Negative OLE dates count whole days backwards but the fraction forwards: -1.25 is
    // 29 December 1899, 06:00.
    const double whole = std::trunc(oleDate);
    double fraction = std::fabs(oleDate - whole);
    auto seconds = static_cast<std::int64_t>(std::llround(fraction * 86400.0));
    auto days = static_cast<std::int64_t>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += oleDate < 0 ? -1 : 1;
    }
    Date date = FromDayNumber(days);
    date.secondsOfDay_ = static_cast<int>(seconds);
    date.hasTime_ = seconds != 0;
    return date;
}

double Date::ToOle() const {
    const double fraction = secondsOfDay_ / 86400.0;
    const auto days = static_cast<double>(dayNumber_);
    return dayNumber_ < 0 ? days - fraction : days + fraction;
}

std::optional<Date> Date::FromIso(const std::string& text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char tail = 0;
    if (text.size() == 10 && std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &mo, &d, &tail) == 3) {
        if (!IsValidCivil(y, mo, d)) return std::nullopt;
        return FromCivil(y, mo, d);
    }
    if (text.size() == 19 && text[10] == 'T' &&
        std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) ==
            6) {
        if (!IsValidCivil(y, mo, d) || h > 23 || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0)
            return std::nullopt;
        return FromCivil(y, mo, d, h, mi, s);
    }
    return std::nullopt;
}

CivilDate Date::civil() const { return CivilFromDays(dayNumber_ + kOleEpochFromUnix); }

Date Date::AddDays(std::int64_t days) const {
    Date date = *this;
    date.dayNumber_ += days;
    return date;
}

std::string Date::ToIso() const {
    const CivilDate c = civil();
    char buffer[40];
    if (hasTime_) {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", c.year, c.month,
                      c.day, secondsOfDay_ / 3600, secondsOfDay_ / 60 % 60, secondsOfDay_ % 60);
    } else {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", c.year, c.month, c.day);
    }
    return buffer;
}

}  // namespace infotrakon
