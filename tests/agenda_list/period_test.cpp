#include "agenda_list/period.h"

#include <gtest/gtest.h>

namespace infotrakon::agenda_list {
namespace {

struct PeriodCase {
    const char* period;
    int offsetDays;  // from today
    bool inPeriod;
};

// Today is a Wednesday in the middle of a 31-day month.
const FixedClock kClock(Date::FromCivil(2026, 7, 15));

class PeriodTest : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodTest, Boundaries) {
    const PeriodCase& c = GetParam();
    const Date date = kClock.Today().AddDays(c.offsetDays);
    EXPECT_EQ(IsDateInPeriod(c.period, date, kClock), c.inPeriod)
        << c.period << " " << c.offsetDays;
}

INSTANTIATE_TEST_SUITE_P(
    EveryPeriod, PeriodTest,
    ::testing::Values(
        PeriodCase{"Dnes", 0, true}, PeriodCase{"Dnes", -1, false}, PeriodCase{"Dnes", 1, false},
        PeriodCase{"Včera", -1, true}, PeriodCase{"Včera", 0, false},
        PeriodCase{"Včera", -2, false}, PeriodCase{"Zítra", 1, true}, PeriodCase{"Zítra", 0, false},
        PeriodCase{"Zítra", 2, false}, PeriodCase{"Za poslední týden", -7, true},
        PeriodCase{"Za poslední týden", 0, true}, PeriodCase{"Za poslední týden", -8, false},
        PeriodCase{"Za poslední týden", 1, false}, PeriodCase{"Tento týden", 0, true},
        PeriodCase{"Tento týden", 7, true}, PeriodCase{"Tento týden", -1, false},
        PeriodCase{"Tento týden", 8, false}, PeriodCase{"Tento měsíc", -14, true},
        PeriodCase{"Tento měsíc", 16, true}, PeriodCase{"Tento měsíc", -15, false},
        PeriodCase{"Tento měsíc", 17, false},
        // Near misses of the six texts match nothing.
        PeriodCase{"dnes", 0, false}, PeriodCase{"DNES", 0, false}, PeriodCase{"Dnes ", 0, false},
        PeriodCase{" Dnes", 0, false}, PeriodCase{"Vcera", -1, false},
        PeriodCase{"Zitra", 1, false}, PeriodCase{"tento týden", 0, false},
        PeriodCase{"Tento tyden", 0, false}, PeriodCase{"Tento mesic", 0, false},
        PeriodCase{"Za poslední týden ", 0, false}, PeriodCase{"", 0, false}));

TEST(Period, WeeksIgnoreTheWeekday) {
    // Whatever weekday today is, the two weeks are the eight days ending or starting today.
    for (int day = 1; day <= 7; ++day) {
        const FixedClock clock(Date::FromCivil(2026, 6, day));
        const Date today = clock.Today();
        EXPECT_FALSE(IsDateInPeriod("Tento týden", today.AddDays(-1), clock));
        EXPECT_TRUE(IsDateInPeriod("Tento týden", today.AddDays(7), clock));
        EXPECT_TRUE(IsDateInPeriod("Za poslední týden", today.AddDays(-7), clock));
    }
}

TEST(Period, MonthComparesMonthAndYear) {
    const FixedClock clock(Date::FromCivil(2026, 3, 31));
    EXPECT_TRUE(IsDateInPeriod("Tento měsíc", Date::FromCivil(2026, 3, 1), clock));
    EXPECT_FALSE(IsDateInPeriod("Tento měsíc", Date::FromCivil(2026, 2, 28), clock));
    EXPECT_FALSE(IsDateInPeriod("Tento měsíc", Date::FromCivil(2025, 3, 15), clock));
    EXPECT_FALSE(IsDateInPeriod("Tento měsíc", Date::FromCivil(2026, 4, 1), clock));
    // 1.2026 and 11.2026 differ, as do 11.2026 and 1.12026.
    const FixedClock january(Date::FromCivil(2026, 1, 10));
    EXPECT_FALSE(IsDateInPeriod("Tento měsíc", Date::FromCivil(2026, 11, 10), january));
}

TEST(Period, ADateWithATimeOfDayIsComparedWhole) {
    const Date morning = Date::FromCivil(2026, 7, 15, 10, 0, 0);
    EXPECT_FALSE(IsDateInPeriod("Dnes", morning, kClock));
    EXPECT_TRUE(IsDateInPeriod("Tento týden", morning, kClock));
}

TEST(FlattenLineBreaks, EveryBreakBecomesTwoPoints) {
    EXPECT_EQ(FlattenLineBreaks(""), "");
    EXPECT_EQ(FlattenLineBreaks("a\r\nb"), "a....b");
    EXPECT_EQ(FlattenLineBreaks("a\nb\rc"), "a..b..c");
    EXPECT_EQ(FlattenLineBreaks("\n"), "..");
    EXPECT_EQ(FlattenLineBreaks("Výměna\toleje"), "Výměna\toleje");
}

// The days of a period, which the list asks the record set for, are exactly the days that
// the period test passes: around ordinary days, the ends of months and the year's end, and
// for a text that names no period (no days at all).
TEST(PeriodDaysTest, AreExactlyTheDaysThePeriodTestPasses) {
    const Date todays[] = {Date::FromCivil(2026, 7, 15), Date::FromCivil(2026, 12, 31),
                           Date::FromCivil(2027, 1, 1),  Date::FromCivil(2024, 2, 29),
                           Date::FromCivil(2026, 3, 1),  Date::FromCivil(2026, 12, 9)};
    for (const Date& today : todays) {
        const FixedClock clock(today);
        for (const char* period :
             {kToday, kYesterday, kTomorrow, kLastWeek, kThisWeek, kThisMonth, "dnes"}) {
            const DayRange days = PeriodDays(period, clock);
            for (int offset = -40; offset <= 40; ++offset) {
                const Date day = today.AddDays(offset);
                EXPECT_EQ(days.first <= day && day <= days.last, IsDateInPeriod(period, day, clock))
                    << period << " on " << today.ToIso() << ", day " << day.ToIso();
            }
        }
    }
}

}  // namespace
}  // namespace infotrakon::agenda_list
