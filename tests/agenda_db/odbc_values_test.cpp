// Values of the column types a server agenda may hold, whoever created its tables: each must
// reach the panel as the kind the Jet provider gives for the like Access field.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "agenda_db/connection_string.h"
#include "agenda_db/odbc/odbc_connection.h"
#include "agenda_db/odbc/odbc_recordset.h"
#include "support/postgres_server.h"
#include "support/test_support.h"

namespace infotrakon::agenda_db {
namespace {

using infotrakon::testing::TemporaryPostgres;

class OdbcValuesTest : public ::testing::Test {
  protected:
    // One server for the suite, with tables of every type.
    static void SetUpTestSuite() {
        const TemporaryPostgres& server = TemporaryPostgres::Shared();
        server.CreateDatabase(Database());
        const std::filesystem::path script =
            std::filesystem::temp_directory_path() /
            ("infotrakon-types-" + std::to_string(::getpid()) + ".sql");
        std::ofstream(script) << R"sql(
            CREATE TABLE typy (id integer, maly smallint, velky bigint, ano boolean, realne real,
                presne double precision, castka numeric(19,4), penize money, dlouhe numeric(30,10),
                den date, cas timestamp, kratky varchar(20), znak char(3), dlouhy text, kod uuid,
                bajty bytea);
            INSERT INTO typy VALUES (1, -32768, 9223372036854775807, true, 1.5, 0.1,
                -922337203685477.5808, 1234.56, 12345678901234567890.0123456789, '2026-12-07',
                '2026-12-07 23:59:59', 'Žluťoučký', 'ab', 'kůň',
                'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11', '\x00ff');
            INSERT INTO typy (id) VALUES (2);
            CREATE TABLE cisla (id integer, cislo numeric);
            INSERT INTO cisla VALUES (1, 'NaN'), (2, 'Infinity'), (3, '-Infinity'),
                (4, 1e100), (5, -0.00005), (6, 922337203685477.5807), (7, 922337203685477.5808);
            CREATE TABLE dny (id integer, den timestamp, jiny date);
            INSERT INTO dny VALUES (1, '2026-12-07 10:00:00.75', '2026-12-07'),
                (2, '20260-01-01', '0100-01-01'), (3, 'infinity', '0044-03-15 BC'),
                (4, '-infinity', NULL), (5, '9999-12-31 23:59:59', '0099-12-31');
            CREATE TABLE meze (id integer, cas timestamp, zona timestamptz, den date,
                castka numeric);
            INSERT INTO meze VALUES
                (1, '1899-12-29 06:00:00', '2026-06-01 10:00:00+02', '1899-12-30', '-0.0000'),
                (2, '1800-02-28 12:34:56.999999', '1900-01-01 00:00:00+01', '0100-01-01', 0),
                (3, '0100-01-01 00:00:00', '1969-12-31 23:59:59.5+00', '9999-12-31', '123.4500'),
                (4, '0099-12-31 23:59:59', NULL, '2024-02-29', '0.00001'),
                (5, '9999-12-31 23:59:59.999999', 'infinity', '0044-03-15 BC',
                    '123456789012345678901234567890'),
                (6, '1969-12-31 23:59:59.5', '-infinity', NULL, '-922337203685477.5808'),
                (7, '1970-01-01 00:00:00', '2000-02-29 00:00:01+05:30', '1970-01-01',
                    '922337203685477.5807'),
                (8, '2000-02-29 00:00:01', NULL, '0001-01-01 BC', '922337203685477.5808'),
                (9, '10000-01-01', NULL, '1900-02-28', '-922337203685477.5809'),
                (10, NULL, NULL, '2026-12-08', '1.23456'),
                (11, 'infinity', NULL, NULL, '-0.1'),
                (12, '-infinity', NULL, NULL, NULL),
                (13, '0001-01-01 00:00:00 BC', NULL, NULL, '0.1');
            CREATE VIEW meze_dvakrat AS SELECT *, 0 AS "ID" FROM meze;
            CREATE TABLE dlouhe (id integer, kratky varchar(200), dlouhy text, bajty bytea,
                cislo numeric);
            INSERT INTO dlouhe SELECT n, repeat('ž', n % 201), repeat('😀a', n),
                decode(repeat('f0', n), 'hex'), (n::text || repeat('0', n % 120))::numeric
                FROM generate_series(0, 2999) AS n;
        )sql";
        server.Psql(Database(), "-f '" + script.string() + "'");
        std::filesystem::remove(script);
    }
    // A database of this process's own: the suite's processes share the server.
    static std::string Database() { return "types_" + std::to_string(::getpid()); }

    static std::unique_ptr<panel::Recordset> Open(const std::string& table) {
        return OpenOdbcRecordset(
            ParseConnectionString("Provider=MSDASQL.1;Extended Properties=\"" +
                                  TemporaryPostgres::Shared().OdbcProperties(Database()) + "\""),
            "The test's data link", "SELECT * FROM " + table, {},
            std::make_shared<OdbcConnectionPool>());
    }
};

TEST_F(OdbcValuesTest, EveryServerTypeReadsAsItsKind) {
    const auto records = Open("typy");
    ASSERT_EQ(records->RecordCount(), 2);
    const struct {
        const char* field;
        Variant value;
    } expected[] = {
        {"id", 1},
        {"maly", -32768},
        {"velky", std::int64_t{9223372036854775807LL}},
        {"ano", true},
        {"realne", 1.5},
        {"presne", 0.1},
        {"castka", Currency{-9223372036854775807LL - 1}},
        {"penize", Currency{12345600}},
        {"dlouhe", Decimal{"12345678901234567890.0123456789"}},
        {"den", Date::FromCivil(2026, 12, 7)},
        {"cas", Date::FromCivil(2026, 12, 7, 23, 59, 59)},
        {"kratky", "Žluťoučký"},
        {"znak", "ab "},
        {"dlouhy", "kůň"},
        {"kod", Guid{"{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}"}},
        {"bajty", Binary{{0x00, 0xFF}}},
    };
    for (const auto& field : expected) {
        SCOPED_TRACE(field.field);
        EXPECT_EQ(records->FieldValue(field.field), field.value);
    }
    records->MoveNext();
    for (const auto& field : expected) {
        if (std::string(field.field) != "id") {
            EXPECT_TRUE(records->FieldValue(field.field).isNull()) << field.field;
        }
    }
}

TEST_F(OdbcValuesTest, NumericsOfAnySizeAndTheirSpecialValuesReadExactly) {
    const auto records = Open("cisla");
    ASSERT_EQ(records->RecordCount(), 7);
    std::vector<Variant> values;
    for (int i = 0; i < 7; ++i, records->MoveNext()) values.push_back(records->FieldValue("cislo"));
    ASSERT_NE(values[0].get<double>(), nullptr) << ::testing::PrintToString(values[0]);
    EXPECT_TRUE(std::isnan(*values[0].get<double>()));
    EXPECT_EQ(values[1], Variant(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(values[2], Variant(-std::numeric_limits<double>::infinity()));
    EXPECT_EQ(values[3], Variant(Decimal{"1" + std::string(100, '0')}));
    EXPECT_EQ(values[4], Variant(Decimal{"-0.00005"}));
    EXPECT_EQ(values[5], Variant(Currency{9223372036854775807LL}));
    EXPECT_EQ(values[6], Variant(Decimal{"922337203685477.5808"}));
}

TEST_F(OdbcValuesTest, ADateAccessCannotHoldIsAnErrorOnlyWhereItIsRead) {
    const auto records = Open("dny");
    ASSERT_EQ(records->RecordCount(), 5);
    // As the driver gives them: a year past 9999 as zeros, infinity as the last second of
    // 9999, minus infinity as 9999 BC, and a date BC without its era.
    const struct {
        Variant den, jiny;  // Empty: reading it fails, naming what the field holds
        const char* denHolds;
        const char* jinyHolds;
    } expected[] = {
        {Date::FromCivil(2026, 12, 7, 10, 0, 0), Date::FromCivil(2026, 12, 7), "", ""},
        {Empty{}, Date::FromCivil(100, 1, 1), "0000-00-00 00:00:00", ""},
        {Date::FromCivil(9999, 12, 31, 23, 59, 59), Empty{}, "", "0044-03-15"},
        {Empty{}, Null{}, "9999-01-01 00:00:00 BC", ""},
        {Date::FromCivil(9999, 12, 31, 23, 59, 59), Empty{}, "", "0099-12-31"},
    };
    for (const auto& row : expected) {
        EXPECT_FALSE(records->FieldValue("id").isNull());
        const std::pair<const char*, const Variant*> fields[] = {{"den", &row.den},
                                                                 {"jiny", &row.jiny}};
        for (const auto& [field, value] : fields) {
            SCOPED_TRACE(field);
            if (!value->isEmpty()) {
                EXPECT_EQ(records->FieldValue(field), *value);
                continue;
            }
            std::string message;
            EXPECT_EQ(
                infotrakon::testing::ErrorNumberOf([&] { records->FieldValue(field); }, &message),
                error_number::kTypeMismatch);
            EXPECT_NE(message.find(std::string("Field ") + field + " of table dny holds \"" +
                                   (field == std::string("den") ? row.denHolds : row.jinyHolds)),
                      std::string::npos)
                << message;
        }
        records->MoveNext();
    }
    // A filter on such a field cannot be answered; one on another field can.
    records->SetFilter("den >= #1/1/2026#");
    EXPECT_EQ(infotrakon::testing::ErrorNumberOf([&] { records->RecordCount(); }),
              error_number::kTypeMismatch);
    records->SetFilter("id >= 5");
    EXPECT_EQ(records->RecordCount(), 1);
}

// Dates come from PostgreSQL as numbers that the server forms, and beside them, for what a
// number cannot carry, the field as the driver gives it. Every value the panel sees, and
// every error, is the one it got from the driver's text: read once carried and once as it is
// (through a statement whose field names repeat, which is read as a whole), at the edges:
// times of day and fractions of seconds, dates before 1900 and 1970, the ends of the years
// Access holds and beyond them, infinities, Nulls, zones; and the amounts beside them,
// numerics of thirty digits and of more than four decimals, zero written negative, the ends
// of the currency's range.
TEST_F(OdbcValuesTest, DatesCarriedAsNumbersAreWhatTheDriversTextsGave) {
    // Each field of each row, by the row's id: its value, or its error's number and message.
    const auto readAll = [](const std::string& table) {
        std::map<std::string, std::string> seen;
        const auto records = Open(table);
        const std::int32_t count = records->RecordCount();
        for (std::int32_t row = 0; row < count; ++row, records->MoveNext()) {
            const Variant idValue = records->FieldValue("id");
            const std::int64_t* idNumber = idValue.get<std::int64_t>();
            const std::string id = idNumber != nullptr ? std::to_string(*idNumber) : "?";
            for (const char* field : {"cas", "zona", "den", "castka"}) {
                std::string message;
                Variant value;
                const int number = infotrakon::testing::ErrorNumberOf(
                    [&] { value = records->FieldValue(field); }, &message);
                // The message names the table the record source named.
                if (const auto at = message.find(" of table " + table); at != std::string::npos)
                    message.replace(at, 10 + table.size(), " of table meze");
                seen[id + " " + field] = number == 0 ? ::testing::PrintToString(value)
                                                     : std::to_string(number) + " " + message;
            }
        }
        return seen;
    };
    const std::map<std::string, std::string> carried = readAll("meze");
    std::map<std::string, std::string> asItIs = readAll("meze_dvakrat");
    ASSERT_EQ(carried.size(), 13u * 4);
    int errors = 0;
    for (const auto& [field, value] : carried) {
        EXPECT_EQ(value, asItIs[field]) << field;
        errors += value.find("holds") != std::string::npos;
    }
    EXPECT_GT(errors, 3);
    // And the values themselves, where the text is plain.
    const struct {
        const char* field;
        Variant value;
    } plain[] = {
        {"1 cas", Date::FromCivil(1899, 12, 29, 6, 0, 0)},
        {"1 castka", Currency{0}},
        {"2 cas", Date::FromCivil(1800, 2, 28, 12, 34, 56)},
        {"3 den", Date::FromCivil(9999, 12, 31)},
        {"3 castka", Currency{1234500}},
        {"4 castka", Decimal{"0.00001"}},
        {"5 castka", Decimal{"123456789012345678901234567890"}},
        {"6 cas", Date::FromCivil(1969, 12, 31, 23, 59, 59)},
        {"6 castka", Currency{-9223372036854775807LL - 1}},
        {"10 cas", Null{}},
    };
    for (const auto& [field, value] : plain)
        EXPECT_EQ(carried.at(field), ::testing::PrintToString(value)) << field;
}

// A reader that names its fields has the server send those alone, and those of the filter.
TEST_F(OdbcValuesTest, AReaderReadsTheFieldsItNamed) {
    const auto records = Open("typy");
    records->SetFilter("id >= 1");
    records->SetFieldsRead({"kratky", "DEN", "chybí"});
    ASSERT_EQ(records->RecordCount(), 2);
    EXPECT_EQ(records->FieldValue("kratky"), Variant("Žluťoučký"));
    EXPECT_EQ(records->FieldValue("den"), Variant(Date::FromCivil(2026, 12, 7)));
    for (const char* field : {"id", "maly", "chybí"})
        EXPECT_EQ(infotrakon::testing::ErrorNumberOf([&] { records->FieldValue(field); }),
                  error_number::kItemNotFound)
            << field;
    records->SetFieldsRead({});
    EXPECT_EQ(records->FieldValue("velky"), Variant(std::int64_t{9223372036854775807LL}));
}

// Rows come a block at a time; a value longer than a block holds is read whole on its own.
TEST_F(OdbcValuesTest, LongValuesAndManyBlocksOfRowsReadWhole) {
    const auto records = Open("dlouhe");
    for (const char* filter : {"", "id >= 1500"}) {
        SCOPED_TRACE(filter);
        records->SetFilter(filter);
        const int first = *filter ? 1500 : 0;
        ASSERT_EQ(records->RecordCount(), 3000 - first);
        // In the table's order, which is not that of the ids.
        std::vector<bool> seen(3000);
        for (int i = first; i < 3000; ++i, records->MoveNext()) {
            const Variant id = records->FieldValue("id");
            ASSERT_TRUE(id.get<std::int64_t>()) << ::testing::PrintToString(id);
            const int n = static_cast<int>(*id.get<std::int64_t>());
            ASSERT_TRUE(n >= first && n < 3000 && !seen[static_cast<std::size_t>(n)]) << n;
            seen[static_cast<std::size_t>(n)] = true;
            std::string shortText, longText;
            for (int j = 0; j < n % 201; ++j) shortText += "ž";
            for (int j = 0; j < n; ++j) longText += "😀a";
            const std::string digits = std::to_string(n) + std::string(n % 120, '0');
            // Within Access's currency, to 922337203685477, an exact Currency.
            const bool currency =
                digits.size() < 15 || (digits.size() == 15 && digits <= "922337203685477");
            const Variant number =
                currency ? Variant(Currency{std::stoll(digits) * 10000}) : Variant(Decimal{digits});
            ASSERT_EQ(records->FieldValue("kratky"), Variant(shortText)) << n;
            ASSERT_EQ(records->FieldValue("dlouhy"), Variant(longText)) << n;
            ASSERT_EQ(records->FieldValue("bajty"),
                      Variant(Binary{std::vector<std::uint8_t>(static_cast<std::size_t>(n), 0xF0)}))
                << n;
            ASSERT_EQ(records->FieldValue("cislo"), number) << n;
        }
    }
}

}  // namespace
}  // namespace infotrakon::agenda_db
