#include "core/locale.h"

#include <gtest/gtest.h>
#include <stdlib.h>

namespace infotrakon {
namespace {

// Sets the locale variables for one test and restores them after it.
class ScopedEnvironment {
  public:
    explicit ScopedEnvironment(std::initializer_list<std::pair<const char*, const char*>> values) {
        for (const char* name : {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG"}) {
            const char* old = getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            unsetenv(name);
        }
        for (const auto& [name, value] : values) setenv(name, value, 1);
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name, value->c_str(), 1);
            } else {
                unsetenv(name);
            }
        }
    }

  private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

class UnusableLocaleTest : public ::testing::TestWithParam<const char*> {};

TEST_P(UnusableLocaleTest, FallsBackToCzech) {
    ScopedEnvironment environment({{"LC_ALL", GetParam()}});
    const Locale locale = Locale::FromEnvironment();
    EXPECT_EQ(locale.decimalSeparator(), ",");
    EXPECT_EQ(locale.shortDatePattern(), "d.M.yyyy");
    EXPECT_EQ(locale.timePattern(), "H:mm:ss");
}

INSTANTIATE_TEST_SUITE_P(Names, UnusableLocaleTest,
                         ::testing::Values("C", "C.UTF-8", "POSIX", "", "xx_YY.UTF-8"));

TEST(Locale, NoVariablesAtAllFallsBackToCzech) {
    ScopedEnvironment environment({});
    EXPECT_EQ(Locale::FromEnvironment().FormatShortDate(Date::FromCivil(2026, 1, 5)), "5.1.2026");
}

TEST(Locale, ReadsNumbersTheLocaleWay) {
    const Locale czech = Locale::Czech();
    EXPECT_EQ(czech.ParseNumber("1234,5"), 1234.5);
    EXPECT_EQ(czech.ParseNumber(" -2 "), -2.0);
    EXPECT_EQ(czech.ParseNumber("+3,"), 3.0);
    EXPECT_EQ(czech.ParseNumber("1E+3"), 1000.0);
    EXPECT_EQ(czech.ParseNumber("1e-400"), 0.0);
    for (const char* bad : {"", " ", "1.5", "1,2,3", "abc", "1E", "--1", "1e999", ",", "1 000"})
        EXPECT_FALSE(czech.ParseNumber(bad).has_value()) << bad;
}

TEST(Locale, PatternsWithQuotedLiterals) {
    const Locale locale(".", "yyyy'y'MM-dd", "HH'h'mm");
    const Date date = Date::FromCivil(987, 6, 7, 8, 9, 0);
    EXPECT_EQ(locale.FormatShortDate(date), "0987y06-07");
    EXPECT_EQ(locale.FormatTime(date), "08h09");
}

}  // namespace
}  // namespace infotrakon
