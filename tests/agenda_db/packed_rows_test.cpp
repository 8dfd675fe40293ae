// Records packed into one buffer must give back every value exactly as it went in, whatever
// its kind, its length and its neighbours.
#include "agenda_db/packed_rows.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace infotrakon::agenda_db {
namespace {

std::vector<Variant> EveryKind() {
    return {Empty{},
            Null{},
            true,
            false,
            std::int64_t{0},
            std::int64_t{63},
            std::int64_t{64},
            std::int64_t{-64},
            std::int64_t{-65},
            std::numeric_limits<std::int64_t>::min(),
            std::numeric_limits<std::int64_t>::max(),
            -0.5,
            std::numeric_limits<double>::denorm_min(),
            std::numeric_limits<double>::infinity(),
            Date::FromCivil(1899, 12, 29, 23, 59, 59),
            Date::FromCivil(2026, 12, 7),
            Date::FromCivil(9999, 12, 31, 0, 0, 1),
            Currency{std::numeric_limits<std::int64_t>::min()},
            Currency{std::numeric_limits<std::int64_t>::max()},
            Currency{12345678},
            Currency{-1},
            std::string(),
            std::string("Oprava brzd – Tatra 815"),
            std::string(127, 'a'),
            std::string(128, 'b'),
            std::string(20000, 'c'),
            std::string("nul\0uvnitř", 11),
            Decimal{"-1234.56789"},
            Guid{"{01234567-89AB-CDEF-0123-456789ABCDEF}"},
            Binary{},
            Binary{{0, 255, 128, 7}}};
}

void Append(PackedRows& rows, const std::vector<Variant>& row) {
    rows.StartRow();
    for (const Variant& value : row) rows.Put(value);
}

TEST(PackedRowsTest, EveryValueComesBackAsItWentIn) {
    const std::vector<Variant> values = EveryKind();
    PackedRows rows;
    // Each record the values turned by one place, so that every value stands in every column
    // behind every other.
    for (std::size_t turn = 0; turn < values.size(); ++turn) {
        std::vector<Variant> row;
        for (std::size_t i = 0; i < values.size(); ++i)
            row.push_back(values[(i + turn) % values.size()]);
        Append(rows, row);
    }
    ASSERT_EQ(rows.size(), values.size());
    PackedRows::Reader reader(rows, values.size());
    for (std::size_t turn = 0; turn < values.size(); ++turn) {
        ASSERT_TRUE(reader.Next());
        // Each column read twice, and out of order: reading moves nothing.
        for (const std::size_t i : {values.size() - 1, std::size_t{0}})
            EXPECT_EQ(reader.Value(i), values[(i + turn) % values.size()]);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const Variant& expected = values[(i + turn) % values.size()];
            const Variant value = reader.Value(i);
            EXPECT_EQ(value, expected) << "record " << turn << ", column " << i;
            if (const Date* date = expected.get<Date>()) {
                EXPECT_EQ(value.get<Date>()->hasTime(), date->hasTime());
            }
        }
    }
    EXPECT_FALSE(reader.Next());
}

// Records by the hundred thousand fill many blocks: each comes back whole, those that did not
// fit at the end of a block, and one larger than a block, among them.
TEST(PackedRowsTest, RecordsOverManyBlocksComeBackWhole) {
    const auto record = [](std::int64_t i) {
        const std::size_t length = i == 54321 ? 300000 : static_cast<std::size_t>(i % 97);
        return std::vector<Variant>{Currency{(i - 50000) * 7919}, std::string(length, 'x'),
                                    i % 5 == 0 ? Variant(Null{}) : Variant(i * i * i)};
    };
    PackedRows rows;
    constexpr std::int64_t kRecords = 100000;
    for (std::int64_t i = 0; i < kRecords; ++i) Append(rows, record(i));
    PackedRows::Reader reader(rows, 3);
    for (std::int64_t i = 0; i < kRecords; ++i) {
        ASSERT_TRUE(reader.Next()) << i;
        const std::vector<Variant> expected = record(i);
        for (std::size_t column = 0; column < expected.size(); ++column)
            ASSERT_EQ(reader.Value(column), expected[column]) << "record " << i;
    }
    EXPECT_FALSE(reader.Next());
}

TEST(PackedRowsTest, ClearedRowsTakeNewRecordsFromTheStart) {
    PackedRows rows;
    Append(rows, {std::string("první")});
    rows.Clear();
    EXPECT_EQ(rows.size(), 0u);
    EXPECT_FALSE(PackedRows::Reader(rows, 1).Next());
    Append(rows, {Null{}});
    Append(rows, {Currency{5}});
    ASSERT_EQ(rows.size(), 2u);
    PackedRows::Reader reader(rows, 1);
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.Value(0), Variant(Null{}));
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.Value(0), Variant(Currency{5}));
    EXPECT_FALSE(reader.Next());
}

// Records of no fields (a reader that names none of the table's) are counted all the same.
TEST(PackedRowsTest, RecordsOfNoFieldsAreCounted) {
    PackedRows rows;
    for (int i = 0; i < 3; ++i) Append(rows, {});
    PackedRows::Reader reader(rows, 0);
    int read = 0;
    while (reader.Next()) ++read;
    EXPECT_EQ(read, 3);
}

}  // namespace
}  // namespace infotrakon::agenda_db
