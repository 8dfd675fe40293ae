#include "core/variant.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/error.h"
#include "core/locale.h"

namespace infotrakon {
namespace {

const Locale kCzech = Locale::Czech();

struct AddCase {
    const char* label;
    Variant left, right, sum;
};

class VariantAddTest : public ::testing::TestWithParam<AddCase> {};

TEST_P(VariantAddTest, Sums) {
    EXPECT_EQ(Add(GetParam().left, GetParam().right, kCzech), GetParam().sum) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, VariantAddTest,
    ::testing::Values(
        AddCase{"empty adds nothing", Variant(), Variant(2.5), Variant(2.5)},
        AddCase{"to empty", Variant(Currency{10000}), Variant(), Variant(Currency{10000})},
        AddCase{"both empty", Variant(), Variant(), Variant()},
        AddCase{"longs", Variant(2), Variant(3), Variant(5)},
        AddCase{"long and double", Variant(2), Variant(0.5), Variant(2.5)},
        AddCase{"currency exact", Variant(Currency{1}), Variant(Currency{2}), Variant(Currency{3})},
        AddCase{"long joins currency", Variant(3), Variant(Currency{5000}),
                Variant(Currency{35000})},
        AddCase{"currency and double", Variant(Currency{5000}), Variant(1.0), Variant(1.5)},
        AddCase{"numeric text", Variant(1.0), Variant("2,5"), Variant(3.5)},
        AddCase{"text to empty", Variant(), Variant(" 7 "), Variant(7.0)},
        AddCase{"null propagates", Variant(1), Variant(Null{}), Variant(Null{})},
        AddCase{"null after empty", Variant(), Variant(Null{}), Variant(Null{})},
        AddCase{"long overflow widens", Variant(std::numeric_limits<std::int64_t>::max()),
                Variant(1),
                Variant(static_cast<double>(std::numeric_limits<std::int64_t>::max()) + 1.0)}));

TEST(VariantAdd, OtherKindsAreATypeMismatch) {
    for (const Variant& odd :
         {Variant("abc"), Variant(true), Variant(Date::FromCivil(2026, 1, 1)), Variant("1.5")}) {
        try {
            Add(Variant(1), odd, kCzech);
            FAIL() << odd.kindName();
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), 13) << odd.kindName();
        }
        EXPECT_THROW(Add(Variant(), odd, kCzech), Error);
    }
}

TEST(VariantAdd, CurrencyOverflowRaisesOverflow) {
    try {
        Add(Variant(Currency{std::numeric_limits<std::int64_t>::max()}), Variant(Currency{1}),
            kCzech);
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 6);
    }
    EXPECT_THROW(Add(Variant(1e308), Variant(1e308), kCzech), Error);
}

}  // namespace
}  // namespace infotrakon
