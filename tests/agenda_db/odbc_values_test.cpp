// Values of the column types a server agenda may hold, whoever created its tables: each must
// reach the panel as the kind the Jet provider gives for the like Access field.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "agenda_db/connection_string.h"
#include "agenda_db/odbc_recordset.h"
#include "support/postgres_server.h"
#include "support/test_support.h"

namespace infotrakon::agenda_db {
namespace {

using infotrakon::testing::TemporaryPostgres;

TEST(OdbcValuesTest, EveryServerTypeReadsAsItsKind) {
    const TemporaryPostgres server;
    server.CreateDatabase("types");
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
    )sql";
    server.Psql("types", "-f '" + script.string() + "'");
    std::filesystem::remove(script);
    const auto records =
        OpenOdbcRecordset(ParseConnectionString("Provider=MSDASQL.1;Extended Properties=\"" +
                                                server.OdbcProperties("types") + "\""),
                          "SELECT * FROM typy", {}, std::make_shared<OdbcConnectionPool>());
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

}  // namespace
}  // namespace infotrakon::agenda_db
