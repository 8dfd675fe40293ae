#include "core/locale.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "core/text_encoding.h"

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

// Every way glibc's locales write a time gives a time; a field without a short form (a time
// zone) is left out with what stood around it.
struct TimeFormatCase {
    const char* locale;
    const char* morning;  // 9:05:03
    const char* evening;  // 21:45:00
};

class SystemTimeFormatTest : public ::testing::TestWithParam<TimeFormatCase> {};

TEST_P(SystemTimeFormatTest, GivesTheTime) {
    const std::optional<Locale> locale = Locale::FromSystem(GetParam().locale);
    if (!locale) GTEST_SKIP() << GetParam().locale << " is not installed (locales-all has it)";
    EXPECT_EQ(locale->FormatTime(Date::FromCivil(2026, 1, 1, 9, 5, 3)), GetParam().morning);
    EXPECT_EQ(locale->FormatTime(Date::FromCivil(2026, 1, 1, 21, 45, 0)), GetParam().evening);
}

INSTANTIATE_TEST_SUITE_P(
    Glibc, SystemTimeFormatTest,
    ::testing::Values(TimeFormatCase{"en_US.UTF-8", "09:05:03 AM", "09:45:00 PM"},   // %r
                      TimeFormatCase{"el_GR.UTF-8", "09:05:03 AM", "09:45:00 PM"},   // %r
                      TimeFormatCase{"cs_CZ.UTF-8", "09:05:03", "21:45:00"},         // %T
                      TimeFormatCase{"aa_DJ.UTF-8", "9:05:03 AM", "9:45:00 PM"},     // %l
                      TimeFormatCase{"ar_SA.UTF-8", "9:05:03", "21:45:00"},          // %k
                      TimeFormatCase{"ar_AE.UTF-8", "09:05:03 AM", "09:45:00 PM"},   // %Z first
                      TimeFormatCase{"bhb_IN.UTF-8", "09:05:03 AM", "09:45:00 PM"},  // %Z last
                      TimeFormatCase{"fi_FI.UTF-8", "09.05.03", "21.45.00"},
                      TimeFormatCase{"nb_NO.UTF-8", "kl. 09.05", "kl. 21.45"},  // %z
                      TimeFormatCase{"ja_JP.UTF-8", "09時05分03秒", "21時45分00秒"},
                      TimeFormatCase{"zh_HK.UTF-8", "AM 09時05分03秒", "PM 09時45分00秒"}),
    [](const auto& parameter) {
        std::string name = parameter.param.locale;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

// Bytes a code page leaves undefined become the control characters of their numbers, as the
// platform converts them: Jet 3 texts hold such bytes.
TEST(CodePages, UndefinedBytesAreTheirControlCharacters) {
    EXPECT_EQ(AnsiToUtf8("A\x81\x8D\x8F\x90\x9DZ", "CP1252"), "A\u0081\u008D\u008F\u0090\u009DZ");
    EXPECT_EQ(AnsiToUtf8("\x81\x83\xE8", "CP1250"), "\u0081\u0083\u010D");
    EXPECT_EQ(AnsiToUtf8("\x80", "CP1252"), "\u20AC");
}

}  // namespace
}  // namespace infotrakon
