#pragma once

#include <string>

#include "core/clock.h"
#include "core/date.h"

namespace infotrakon::agenda_list {

// The six period texts, exactly as the period combo box offers them.
inline constexpr const char* kToday = "Dnes";
inline constexpr const char* kYesterday = "Včera";
inline constexpr const char* kTomorrow = "Zítra";
inline constexpr const char* kLastWeek = "Za poslední týden";
inline constexpr const char* kThisWeek = "Tento týden";
inline constexpr const char* kThisMonth = "Tento měsíc";

// True when `date` lies in the named period, counted from the clock's today. The texts are
// compared exactly (case, diacritics and blanks count); any other text matches nothing.
// The two weeks are eight days each, ending or starting today; no weekday is computed.
bool IsDateInPeriod(const std::string& period, const Date& date, const Clock& clock);

// The whole days from `first` to `last`; none where `last` is before `first`.
struct DayRange {
    Date first;
    Date last;
};

// The days whose dates IsDateInPeriod finds in the named period, and no others: for a text
// that names no period, a range of no days.
DayRange PeriodDays(const std::string& period, const Clock& clock);

// The text made one line: every carriage return and every line feed becomes "..".
std::string FlattenLineBreaks(const std::string& text);

}  // namespace infotrakon::agenda_list
