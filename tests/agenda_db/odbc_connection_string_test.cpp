// How a data link's OLE DB properties become the ODBC connection string the driver gets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "agenda_db/connection_string.h"
#include "agenda_db/odbc/odbc_connection.h"
#include "support/test_support.h"

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
    const std::string text = OdbcConnectionString(OdbcProperties(properties));
    EXPECT_EQ(text, std::string(GetParam().keys) +
                        "BoolsAsChar=0;UseDeclareFetch=1;Fetch=8000;CommLog=0;Debug=0;");
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

// What a data link in a folder the whole office writes may make the driver manager do: only
// connect with the keys we mean, through a driver installed under a name.
struct LinkCheck {
    const char* name;
    const char* initString;
    int number;            // 0: allowed
    const char* expected;  // the keys that reach the driver, or what the error names
};

class OdbcLinkCheckTest : public ::testing::TestWithParam<LinkCheck> {};

TEST_P(OdbcLinkCheckTest, PassesOnlyTheKeysWeMean) {
    int asked = 0;
    const auto installed = [&] {
        ++asked;
        return std::vector<std::string>{"PostgreSQL ANSI", "PostgreSQL Unicode"};
    };
    const auto odbc = OdbcProperties(ParseConnectionString(GetParam().initString));
    const std::string origin = "The data link 'C:\\Agenda\\planted.udl'";
    if (GetParam().number == 0) {
        std::string keys;
        for (const auto& property : AllowedOdbcProperties(odbc, origin, installed))
            keys += property.key + "=" + property.value + ";";
        EXPECT_EQ(keys, GetParam().expected);
        EXPECT_LE(asked, 1);
        return;
    }
    std::string message;
    EXPECT_EQ(infotrakon::testing::ErrorNumberOf(
                  [&] { AllowedOdbcProperties(odbc, origin, installed); }, &message),
              GetParam().number);
    EXPECT_NE(message.find(origin), std::string::npos) << message;
    EXPECT_NE(message.find(GetParam().expected), std::string::npos) << message;
    // A path is refused before the driver manager is asked for anything.
    if (message.find("by a path") != std::string::npos) {
        EXPECT_EQ(asked, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Links, OdbcLinkCheckTest,
    ::testing::Values(
        LinkCheck{"DsnWithUser",
                  R"(Provider=MSDASQL.1;Extended Properties="DSN=trakon;UID=a;PWD=b")", 0,
                  "DSN=trakon;UID=a;PWD=b;"},
        LinkCheck{
            "DriverByItsInstalledName",
            R"(Provider=MSDASQL;Extended Properties="driver={postgresql unicode};Server=db;Port=5432;Database=agenda")",
            0, "driver=PostgreSQL Unicode;Server=db;Port=5432;Database=agenda;"},
        LinkCheck{
            "DriverByPath",
            R"(Provider=MSDASQL.1;Extended Properties="DRIVER=/srv/share/planted.so;DATABASE=x")",
            3706, "'/srv/share/planted.so' by a path"},
        LinkCheck{"DriverByPathInBraces",
                  R"(Provider=MSDASQL.1;Extended Properties="Driver={/srv/share/planted.so}")",
                  3706, "/srv/share/planted.so"},
        LinkCheck{"DriverByWindowsPath",
                  R"(Provider=MSDASQL.1;Extended Properties="DRIVER=\server\share\planted.dll")",
                  3706, "by a path"},
        LinkCheck{"DriverOutsideExtendedProperties",
                  "Provider=MSDASQL.1;DRIVER=./planted.so;DATABASE=x", 3706, "./planted.so"},
        LinkCheck{"DriverNotInstalled",
                  R"(Provider=MSDASQL.1;Extended Properties="DRIVER=libplanted.so")", 3706,
                  "'libplanted.so', which is not installed (installed: PostgreSQL ANSI, "
                  "PostgreSQL Unicode)"},
        LinkCheck{"FileDsn", R"(Provider=MSDASQL.1;Extended Properties="FILEDSN=/srv/x.dsn")", 3001,
                  "'FILEDSN'"},
        LinkCheck{"SaveFile",
                  R"(Provider=MSDASQL.1;Extended Properties="DSN=trakon;SAVEFILE=/srv/x.dsn")",
                  3001, "'SAVEFILE'"},
        LinkCheck{"DriverLog", R"(Provider=MSDASQL.1;Extended Properties="DSN=trakon;CommLog=1")",
                  3001, "'CommLog'"},
        LinkCheck{"SslFile",
                  R"(Provider=MSDASQL.1;Extended Properties="DSN=trakon;sslrootcert=/srv/ca.pem")",
                  3001, "'sslrootcert'"},
        LinkCheck{"PanelsOwnOption",
                  R"(Provider=MSDASQL.1;Extended Properties="DSN=trakon;UseDeclareFetch=0")", 3001,
                  "'UseDeclareFetch'"},
        LinkCheck{"KeyWithABlankInside",
                  R"(Provider=MSDASQL.1;Extended Properties="DSN=trakon;D RIVER=x")", 3001,
                  "'D RIVER'"}),
    [](const ::testing::TestParamInfo<LinkCheck>& link) { return link.param.name; });

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
