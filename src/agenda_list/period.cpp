#include "agenda_list/period.h"

namespace infotrakon::agenda_list {
namespace {

std::string MonthText(const Date& date) {
    const CivilDate civil = date.civil();
    return std::to_string(civil.month) + "." + std::to_string(civil.year);
}

}  // namespace

bool IsDateInPeriod(const std::string& period, const Date& date, const Clock& clock) {
    const Date today = clock.Today();
    bool inPeriod = false;
    if (period == kToday && date == today) inPeriod = true;
    if (period == kYesterday && date == today.AddDays(-1)) inPeriod = true;
    if (period == kTomorrow && date == today.AddDays(1)) inPeriod = true;
    if (period == kLastWeek && today.AddDays(-7) <= date && date <= today) inPeriod = true;
    if (period == kThisWeek && today <= date && date <= today.AddDays(7)) inPeriod = true;
    if (period == kThisMonth && MonthText(date) == MonthText(today)) inPeriod = true;
    return inPeriod;
}

DayRange PeriodDays(const std::string& period, const Clock& clock) {
    const Date today = clock.Today().WholeDay();
    if (period == kToday) return {today, today};
    if (period == kYesterday) return {today.AddDays(-1), today.AddDays(-1)};
    if (period == kTomorrow) return {today.AddDays(1), today.AddDays(1)};
    if (period == kLastWeek) return {today.AddDays(-7), today};
    if (period == kThisWeek) return {today, today.AddDays(7)};
    if (period == kThisMonth) {
        const CivilDate civil = today.civil();
        const Date first = Date::FromCivil(civil.year, civil.month, 1);
        const Date nextMonth = civil.month == 12 ? Date::FromCivil(civil.year + 1, 1, 1)
                                                 : Date::FromCivil(civil.year, civil.month + 1, 1);
        return {first, nextMonth.AddDays(-1)};
    }
    return {today, today.AddDays(-1)};
}

std::string FlattenLineBreaks(const std::string& text) {
    if (text.empty()) return text;
    std::string flat;
    flat.reserve(text.size() + 8);
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            flat += "..";
        } else {
            flat += c;
        }
    }
    return flat;
}

}  // namespace infotrakon::agenda_list
