#include "core/guarded.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

namespace infotrakon {
namespace {

struct Thrown {
    const char* what;
    std::function<void()> action;
    int number;
    std::string message;
};

class GuardedTest : public ::testing::TestWithParam<Thrown> {};

// Whatever an operation throws, a boundary gets one Error to turn into its own form.
TEST_P(GuardedTest, MapsWhatWasThrownToOneError) {
    const std::optional<Error> error = Guarded(GetParam().action);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), GetParam().number);
    EXPECT_EQ(std::string(error->what()), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Exceptions, GuardedTest,
    ::testing::Values(Thrown{"OurError", [] { throw Error(3024, "Could not find file 'a.mdb'"); },
                             3024, "Could not find file 'a.mdb'"},
                      Thrown{"NoMemory", [] { throw std::bad_alloc(); }, error_number::kOutOfMemory,
                             "Out of memory"},
                      Thrown{"StandardException", [] { throw std::out_of_range("vector::at"); },
                             error_number::kInternalError, "Internal error: vector::at"},
                      Thrown{"Anything", [] { throw 42; }, error_number::kInternalError,
                             "Internal error: an exception of an unknown kind"}),
    [](const ::testing::TestParamInfo<Thrown>& thrown) { return thrown.param.what; });

TEST(Guarded, GivesNothingWhenTheActionSucceeds) {
    bool ran = false;
    EXPECT_FALSE(Guarded([&] { ran = true; }).has_value());
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace infotrakon
