// The texts a server's driver gives for numbers, money and dates, and the values the panel
// makes of them; a text that is no such value must never pass as one.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "agenda_db/odbc/odbc_values.h"
#include "support/test_support.h"

namespace infotrakon::agenda_db {
namespace {

struct NumberCase {
    const char* text;
    std::optional<Variant> value;
};

class ServerNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ServerNumberTest, ReadsExactly) {
    EXPECT_EQ(ServerNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ServerNumberTest,
    ::testing::Values(NumberCase{"0", Currency{0}}, NumberCase{"12.5", Currency{125000}},
                      NumberCase{"-12.5000", Currency{-125000}},
                      NumberCase{"0.00010000", Currency{1}},
                      NumberCase{"922337203685477.5807", Currency{9223372036854775807LL}},
                      NumberCase{"-922337203685477.5808", Currency{-9223372036854775807LL - 1}},
                      NumberCase{"922337203685477.5808", Decimal{"922337203685477.5808"}},
                      NumberCase{"9999999999999999999", Decimal{"9999999999999999999"}},
                      NumberCase{"-0.00005", Decimal{"-0.00005"}},
                      NumberCase{"Infinity", std::numeric_limits<double>::infinity()},
                      NumberCase{"-Infinity", -std::numeric_limits<double>::infinity()},
                      NumberCase{"", std::nullopt}, NumberCase{"-", std::nullopt},
                      NumberCase{".5", std::nullopt}, NumberCase{"5.", std::nullopt},
                      NumberCase{"1e5", std::nullopt}, NumberCase{"1.2.3", std::nullopt},
                      NumberCase{"--1", std::nullopt}, NumberCase{" 1", std::nullopt},
                      NumberCase{"nan", std::nullopt}));

TEST(ServerNumberTest, NotANumberIsADouble) {
    const auto value = ServerNumber("NaN");
    ASSERT_TRUE(value && value->get<double>());
    EXPECT_TRUE(std::isnan(*value->get<double>()));
}

TEST(ServerMoneyTest, ReadsTheCLocaleFormat) {
    EXPECT_EQ(ServerMoney("$1,234.56"), Variant(Currency{12345600}));
    EXPECT_EQ(ServerMoney("-$92,233,720,368,547,758.08"),
              Variant(Decimal{"-92233720368547758.08"}));
    EXPECT_EQ(ServerMoney("$0.00"), Variant(Currency{0}));
    for (const char* bad : {"", "$", "1 234,56 Kč", "($5.00)", "$,5", "€5"})
        EXPECT_EQ(ServerMoney(bad), std::nullopt) << bad;
}

struct DateCase {
    const char* text;
    std::optional<Date> date;
};

class ServerDateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(ServerDateTest, ReadsOnlyDatesAccessHolds) {
    const auto date = ServerDate(GetParam().text);
    EXPECT_EQ(date, GetParam().date) << GetParam().text;
    if (date && GetParam().date) {
        EXPECT_EQ(date->hasTime(), GetParam().date->hasTime());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ServerDateTest,
    ::testing::Values(
        DateCase{"2026-12-07", Date::FromCivil(2026, 12, 7)},
        DateCase{"2026-12-07 00:00:00", Date::FromCivil(2026, 12, 7)},
        DateCase{"2026-12-07 10:05:09", Date::FromCivil(2026, 12, 7, 10, 5, 9)},
        DateCase{"2026-12-07 10:05:09.999", Date::FromCivil(2026, 12, 7, 10, 5, 9)},
        DateCase{"2026-12-07 10:05:09+01", Date::FromCivil(2026, 12, 7, 10, 5, 9)},
        DateCase{"2026-12-07 10:05:09.5-05:30", Date::FromCivil(2026, 12, 7, 10, 5, 9)},
        DateCase{"0100-01-01", Date::FromCivil(100, 1, 1)},
        DateCase{"9999-12-31 23:59:59", Date::FromCivil(9999, 12, 31, 23, 59, 59)},
        DateCase{"2024-02-29", Date::FromCivil(2024, 2, 29)}, DateCase{"0099-12-31", std::nullopt},
        DateCase{"10000-01-01", std::nullopt}, DateCase{"0000-00-00 00:00:00", std::nullopt},
        DateCase{"0044-03-15 BC", std::nullopt}, DateCase{"2025-02-29", std::nullopt},
        DateCase{"2026-13-01", std::nullopt}, DateCase{"2026-12-07 24:00:00", std::nullopt},
        DateCase{"2026-12-07 10:60:00", std::nullopt}, DateCase{"2026-12-07 10:05", std::nullopt},
        DateCase{"2026-12-07 ", std::nullopt}, DateCase{"2026-12-07T10:05:09", std::nullopt},
        DateCase{"7.12.2026", std::nullopt}, DateCase{"infinity", std::nullopt},
        DateCase{"", std::nullopt}));

}  // namespace
}  // namespace infotrakon::agenda_db
