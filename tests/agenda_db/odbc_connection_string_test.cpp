// How a data link's OLE DB properties become the ODBC connection string the driver gets.
#include <gtest/gtest.h>

#include <string>

#include "agenda_db/connection_string.h"
#include "agenda_db/odbc/odbc_connection.h"

namespace infotrakon::agenda_db {
namespace {

struct Translation {
    const char* name;
    const char* initString;
    bool odbc;
    const char* keys;  // the ODBC keys, before the driver options the panel adds
};

class OdbcTranslationTest : public ::testing::TestWithParam<Translation> {};

TEST_P(OdbcTranslationTest, GivesTheDriverTheKeys) {
    const auto properties = ParseConnectionString(GetParam().initString);
    ASSERT_EQ(NamesOdbcSource(properties), GetParam().odbc);
    if (!GetParam().odbc) return;
    const std::string text = OdbcConnectionString(properties);
    EXPECT_EQ(text, std::string(GetParam().keys) +
                        "BoolsAsChar=0;UseDeclareFetch=1;Fetch=1000;CommLog=0;Debug=0;");
}

INSTANTIATE_TEST_SUITE_P(
    Links, OdbcTranslationTest,
    ::testing::Values(
        Translation{"Dsn",
                    R"(Provider=MSDASQL.1;Extended Properties="DSN=trakon;UID=agenda;PWD=x")", true,
                    "DSN=trakon;UID=agenda;PWD=x;"},
        Translation{
            "DriverAndServer",
            R"(Provider=MSDASQL;Extended Properties="DRIVER={PostgreSQL Unicode};SERVER=db;PORT=5432;DATABASE=agenda")",
            true, "DRIVER=PostgreSQL Unicode;SERVER=db;PORT=5432;DATABASE=agenda;"},
        Translation{"OleDbNamesOutside",
                    "Provider=MSDASQL.1;Data Source=trakon;User ID=agenda;Password=tajné heslo;"
                    "Initial Catalog=agenda2",
                    true, "UID=agenda;PWD=tajné heslo;DATABASE=agenda2;DSN=trakon;"},
        Translation{
            "InsideWins",
            R"(Provider=MSDASQL.1;User ID=outside;Extended Properties="DSN=trakon;UID=inside")",
            true, "DSN=trakon;UID=inside;"},
        Translation{"BracedValues",
                    R"(Provider=MSDASQL.1;Extended Properties="DSN=trakon;PWD={a;b}}c}")", true,
                    "DSN=trakon;PWD={a;b}}c};"},
        Translation{"AnotherProviderWithADsn", "Provider=SQLOLEDB.1;DSN=fleet;UID=sa", true,
                    "DSN=fleet;UID=sa;"},
        Translation{"AnotherProviderWithoutADsn",
                    "Provider=SQLOLEDB.1;Data Source=fleet;Password=secret", false, ""},
        Translation{"Jet", R"(Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\Agenda\agenda.mdb)",
                    false, ""}),
    [](const ::testing::TestParamInfo<Translation>& link) { return link.param.name; });

TEST(MaskPasswordTest, HidesEveryOccurrenceAndEnds) {
    const struct {
        const char* message;
        const char* password;
        const char* masked;
    } cases[] = {
        {"password \"tajné\" refused", "tajné", "password \"***\" refused"},
        {"xx and xx", "xx", "*** and ***"},
        {"syntax error at or near \"*\"", "*", "syntax error at or near \"***\""},
        {"a***b", "***", "a***b"},
        {"no secret here", "", "no secret here"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(odbc::MaskPassword(test.message, test.password), test.masked) << test.message;
}

}  // namespace
}  // namespace infotrakon::agenda_db
