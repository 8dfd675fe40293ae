#include "core/text_form.h"

#include <gtest/gtest.h>

#include "core/error.h"

namespace infotrakon {
namespace {

const Locale kCzech = Locale::Czech();
const Locale kEnglish(".", "M/d/yyyy", "h:mm:ss tt");

struct TextFormCase {
    const char* label;
    Variant value;
    const char* czech;
    const char* english;
};

std::string CaseName(const ::testing::TestParamInfo<TextFormCase>& param) {
    std::string name = param.param.label;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

class TextFormTest : public ::testing::TestWithParam<TextFormCase> {};

TEST_P(TextFormTest, InBothLocales) {
    const TextFormCase& c = GetParam();
    EXPECT_EQ(TextForm(c.value, kCzech), c.czech);
    EXPECT_EQ(TextForm(c.value, kEnglish), c.english);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, TextFormTest,
    ::testing::Values(
        TextFormCase{"empty", Variant(), "", ""},
        TextFormCase{"text", Variant("Oprava brzd č. 2"), "Oprava brzd č. 2", "Oprava brzd č. 2"},
        TextFormCase{"long", Variant(std::int64_t{-42}), "-42", "-42"},
        TextFormCase{"zero", Variant(0.0), "0", "0"},
        TextFormCase{"double", Variant(1234.5), "1234,5", "1234.5"},
        TextFormCase{"fraction", Variant(0.1 + 0.2), "0,3", "0.3"},
        TextFormCase{"fifteen digits", Variant(2.0 / 3.0), "0,666666666666667",
                     "0.666666666666667"},
        TextFormCase{"large", Variant(1e20), "1E+20", "1E+20"},
        TextFormCase{"negative", Variant(-300.75), "-300,75", "-300.75"},
        TextFormCase{"date", Variant(Date::FromCivil(2026, 3, 5)), "5.3.2026", "3/5/2026"},
        TextFormCase{"date and time", Variant(Date::FromCivil(2026, 12, 24, 7, 5, 9)),
                     "24.12.2026 7:05:09", "12/24/2026 7:05:09 AM"},
        TextFormCase{"afternoon", Variant(Date::FromCivil(2026, 1, 1, 15, 30, 0)),
                     "1.1.2026 15:30:00", "1/1/2026 3:30:00 PM"},
        TextFormCase{"true", Variant(true), "True", "True"},
        TextFormCase{"currency", Variant(Currency{12345678}), "1234,5678", "1234.5678"},
        TextFormCase{"whole currency", Variant(Currency{-50000}), "-5", "-5"},
        // A Single shows the seven digits it holds, not the double it is.
        TextFormCase{"single", Variant(Single{1520.3f}), "1520,3", "1520.3"},
        TextFormCase{"small single", Variant(Single{0.1f}), "0,1", "0.1"},
        TextFormCase{"large single", Variant(Single{3.4e38f}), "3,4E+38", "3.4E+38"}),
    CaseName);

TEST(TextForm, ASingleAddsAsTheValueItStores) {
    const Variant sum = Add(Variant(Single{1520.3f}), Variant(0.0), kCzech);
    EXPECT_EQ(sum, Variant(static_cast<double>(1520.3f)));
    EXPECT_EQ(TextForm(sum, kCzech), "1520,30004882812");
}

TEST(TextForm, NullRaisesInvalidUseOfNullButJoinsAsEmpty) {
    try {
        TextForm(Variant(Null{}), kCzech);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 94);
    }
    EXPECT_EQ("x" + JoinedTextForm(Variant(Null{}), kCzech) + "y", "xy");
    EXPECT_EQ(JoinedTextForm(Variant(7), kCzech), "7");
}

struct AmountCase {
    const char* text;
    const char* formatted;
};

class FormatAmountTest : public ::testing::TestWithParam<AmountCase> {};

TEST_P(FormatAmountTest, CzechLocale) {
    EXPECT_EQ(FormatAmount(GetParam().text, kCzech), GetParam().formatted);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FormatAmountTest,
    ::testing::Values(AmountCase{"0", "  0,00"}, AmountCase{"300,75", "  300,75"},
                      AmountCase{"1005", " 1 005,00"}, AmountCase{"1234,5", " 1 234,50"},
                      AmountCase{"1234567,891", " 1234 567,89"},
                      // Halves round away from zero, on the decimal digits as written.
                      AmountCase{"2,675", "  2,68"}, AmountCase{"999,995", " 1 000,00"},
                      AmountCase{"-1234,5", "- 1 234,50"}, AmountCase{"-0,001", "  0,00"},
                      AmountCase{"0,004", "  0,00"},
                      AmountCase{"1E+20", " 100000000000000000 000,00"},
                      // Texts that are no number stay as they are.
                      AmountCase{"", ""}, AmountCase{"Label5", "Label5"}, AmountCase{"1.5", "1.5"},
                      AmountCase{"12,3,4", "12,3,4"}));

TEST(FormatAmount, UsesTheLocaleSeparator) {
    EXPECT_EQ(FormatAmount("1234.5", kEnglish), " 1 234.50");
    EXPECT_EQ(FormatAmount("1234,5", kEnglish), "1234,5");
}

TEST(FormatAmount, FormatsTheTextFormOfASum) {
    // The label holds the text form of the sum; the format reads it back.
    EXPECT_EQ(FormatAmount(TextForm(Variant(1234567.891), kCzech), kCzech), " 1234 567,89");
}

}  // namespace
}  // namespace infotrakon
