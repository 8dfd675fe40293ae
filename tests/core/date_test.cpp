#include "core/date.h"

#include <gtest/gtest.h>

namespace infotrakon {
namespace {

TEST(Date, OleEpochAndRoundTrip) {
    EXPECT_EQ(Date::FromCivil(1899, 12, 30).dayNumber(), 0);
    EXPECT_EQ(Date::FromCivil(1900, 1, 1).dayNumber(), 2);
    EXPECT_EQ(Date::FromCivil(2026, 12, 6).dayNumber(), 46362);
    for (const auto& [y, m, d] :
         {std::tuple{100, 1, 1}, {1601, 1, 1}, {1899, 12, 29}, {2000, 2, 29}, {9999, 12, 31}}) {
        const CivilDate civil = Date::FromCivil(y, m, d).civil();
        EXPECT_EQ(civil, (CivilDate{y, m, d}));
    }
}

TEST(Date, OleFractionsBeforeTheEpochCountForwardFromMidnight) {
    const Date date = Date::FromOle(-1.25);
    EXPECT_EQ(date.civil(), (CivilDate{1899, 12, 29}));
    EXPECT_EQ(date.secondsOfDay(), 6 * 3600);
    EXPECT_DOUBLE_EQ(date.ToOle(), -1.25);
    EXPECT_FALSE(Date::FromOle(46362.0).hasTime());
    EXPECT_TRUE(Date::FromOle(46362.5).hasTime());
    EXPECT_DOUBLE_EQ(Date::FromOle(46362.5).ToOle(), 46362.5);
}

TEST(Date, IsoTexts) {
    EXPECT_EQ(Date::FromIso("2026-03-11")->civil(), (CivilDate{2026, 3, 11}));
    EXPECT_EQ(Date::FromIso("2026-03-10T15:30:00")->secondsOfDay(), 15 * 3600 + 30 * 60);
    for (const char* bad : {"2026-02-30", "2026-3-1", "2026-03-10T25:00:00", "x", "",
                            "2026-03-10 15:30:00", "2026-03-10T15:30"})
        EXPECT_FALSE(Date::FromIso(bad).has_value()) << bad;
}

TEST(Date, OrderingWholeValue) {
    const Date morning = Date::FromCivil(2026, 1, 1, 10, 0, 0);
    EXPECT_LT(Date::FromCivil(2026, 1, 1), morning);
    EXPECT_EQ(morning.WholeDay(), Date::FromCivil(2026, 1, 1));
    EXPECT_EQ(Date::FromCivil(2026, 2, 28).AddDays(1), Date::FromCivil(2026, 3, 1));
}

}  // namespace
}  // namespace infotrakon
