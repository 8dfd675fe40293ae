// The texts of a query: connection strings, data links, record sources and filters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "agenda_db/connection_string.h"
#include "agenda_db/filter.h"
#include "agenda_db/record_source.h"
#include "core/error.h"
#include "support/test_support.h"

namespace infotrakon::agenda_db {
namespace {

using infotrakon::testing::ErrorNumberOf;

struct ConnectionCase {
    const char* text;
    std::vector<std::pair<std::string, std::string>> properties;
};

TEST(ConnectionString, SplitsAsOleDbDoes) {
    const ConnectionCase cases[] = {
        {"", {}},
        {";;", {}},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\a b\\agenda.mdb;Persist Security "
         "Info=False",
         {{"Provider", "Microsoft.Jet.OLEDB.4.0"},
          {"Data Source", "C:\\a b\\agenda.mdb"},
          {"Persist Security Info", "False"}}},
        {"  FILE NAME = C:\\x.udl ; ", {{"FILE NAME", "C:\\x.udl"}}},
        {"Data Source=\"C:\\a;b.mdb\"", {{"Data Source", "C:\\a;b.mdb"}}},
        {"Data Source='it''s.mdb'", {{"Data Source", "it's.mdb"}}},
        {"Extended Properties=\"DSN=x;UID=\"\"y\"\"\"",
         {{"Extended Properties", "DSN=x;UID=\"y\""}}},
        {"a==b=c", {{"a=b", "c"}}},
        {"Empty=;Next=1", {{"Empty", ""}, {"Next", "1"}}},
    };
    for (const ConnectionCase& test : cases) {
        SCOPED_TRACE(test.text);
        std::vector<std::pair<std::string, std::string>> got;
        for (const ConnectionProperty& property : ParseConnectionString(test.text))
            got.emplace_back(property.key, property.value);
        EXPECT_EQ(got, test.properties);
    }
}

TEST(ConnectionString, MalformedStringsAreErrorsThatShowNoValue) {
    for (const char* text :
         {"Provider", "a=1;b", "Password=\"secret", "Password='secret' x", "=secret"}) {
        std::string message;
        EXPECT_EQ(ErrorNumberOf([&] { ParseConnectionString(text); }, &message), 3709) << text;
        EXPECT_EQ(message.find("secret"), std::string::npos) << message;
    }
}

TEST(ConnectionString, KeysMatchInAnyCaseAndTheLastWins) {
    const auto properties = ParseConnectionString("data source=a.mdb;DATA SOURCE=b.mdb;x=1");
    EXPECT_EQ(FindProperty(properties, "Data Source"), "b.mdb");
    EXPECT_EQ(FindProperty(properties, "Provider"), std::nullopt);
}

using infotrakon::testing::Utf16File;

TEST(DataLink, FindsTheInitialisationStringInEveryEncoding) {
    const std::string expected =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Vozový park\\agenda.mdb";
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"UTF-16 as the platform writes it",
         Utf16File("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                   "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Vozový park\\agenda.mdb\r\n")},
        {"UTF-8 with its mark", "\xEF\xBB\xBF[oledb]\n; comment\n" + expected + "\n"},
        {"UTF-8 without a mark, blank lines first", "\n[OLEDB]\n\n   \n" + expected},
        {"CP1250",
         "[oledb]\r\nProvider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Vozov\xFD "
         "park\\agenda.mdb\r\n"},
        {"another section first", "[other]\nx=1\n[oledb]\n" + expected + "\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(DataLinkInitString(test.bytes, "x.udl"), expected);
    }
}

TEST(DataLink, WithoutAnInitialisationStringIsAnErrorNamingTheFile) {
    for (const std::string& bytes : {std::string(), std::string("[oledb]\n; only a comment\n"),
                                     std::string("Provider=x\n"), Utf16File("[oledb]\r\n")}) {
        std::string message;
        EXPECT_NE(ErrorNumberOf([&] { DataLinkInitString(bytes, "C:\\a.udl"); }, &message), 0);
        EXPECT_NE(message.find("C:\\a.udl"), std::string::npos) << message;
    }
}

TEST(RecordSource, NamesItsTable) {
    const std::pair<const char*, const char*> cases[] = {
        {"SELECT * FROM carservis", "carservis"},
        {"select * from Cars", "Cars"},
        {"  SELECT  *  FROM  firma ;", "firma"},
        {"SELECT * FROM [moje tabulka]", "moje tabulka"},
    };
    for (const auto& [source, table] : cases) EXPECT_EQ(RecordSourceTable(source), table) << source;
    for (const char* source :
         {"", "carservis", "SELECT castka FROM carservis", "SELECT * FROM carservis WHERE car=true",
          "SELECT * FROM [a", "DELETE FROM carservis", "SELECT * FROM a, b"}) {
        std::string message;
        EXPECT_EQ(ErrorNumberOf([&] { RecordSourceTable(source); }, &message), 3001) << source;
    }
}

struct FilterCase {
    const char* text;
    std::vector<std::string> fields;
    std::vector<Variant> constants;
};

TEST(Filter, ParsesTheComparisonsThePanelWrites) {
    const FilterCase cases[] = {
        {"", {}, {}},
        {"car=true", {"car"}, {true}},
        {"car = TRUE And servis=false", {"car", "servis"}, {true, false}},
        {"stav=0 and [datum] >= #1/1/2026#", {"stav", "datum"}, {0, Date::FromCivil(2026, 1, 1)}},
        {"datum>=#12/31/99#", {"datum"}, {Date::FromCivil(1999, 12, 31)}},
        {"datum>=#1/1/29#", {"datum"}, {Date::FromCivil(2029, 1, 1)}},
        {"stav=-5 AND x=+7", {"stav", "x"}, {-5, 7}},
    };
    for (const FilterCase& test : cases) {
        SCOPED_TRACE(test.text);
        const Filter filter = ParseFilter(test.text);
        std::vector<std::string> fields;
        std::vector<Variant> constants;
        for (const Comparison& comparison : filter.comparisons) {
            fields.push_back(comparison.field);
            constants.push_back(comparison.constant);
        }
        EXPECT_EQ(fields, test.fields);
        EXPECT_EQ(constants, test.constants);
    }
    EXPECT_EQ(ParseFilter("datum >= #1/1/2026#").comparisons[0].op, Comparison::Operator::kAtLeast);
}

TEST(Filter, InvalidFiltersAreErrorsQuotingTheFilter) {
    for (const char* text : {"car", "=true", "car=", "car=yes", "datum>=#13/1/2026#",
                             "datum>=#2/30/2026#", "datum >= #1/1/2026", "car=true and",
                             "car=true or servis=true", "stav=99999999999999999999", "[]=1"}) {
        std::string message;
        EXPECT_EQ(ErrorNumberOf([&] { ParseFilter(text); }, &message), 3001) << text;
        EXPECT_NE(message.find(text), std::string::npos) << message;
    }
}

struct SatisfiesCase {
    Variant value;
    const char* filter;
    bool passes;
};

TEST(Filter, ComparesValuesAsJetDoes) {
    const Date newYear = Date::FromCivil(2026, 1, 1);
    const SatisfiesCase cases[] = {
        {true, "f=true", true},
        {true, "f=-1", true},
        {false, "f=0", true},
        {false, "f=true", false},
        {std::int64_t{0}, "f=0", true},
        {std::int64_t{2}, "f=0", false},
        {std::int64_t{2}, "f>=2", true},
        {2.5, "f>=3", false},
        {Currency{30000}, "f=3", true},
        {Decimal{"3.0000"}, "f>=3", true},
        {newYear, "f>=#1/1/2026#", true},
        {Date::FromCivil(2025, 12, 31, 23, 59, 59), "f>=#1/1/2026#", false},
        {Date::FromCivil(2026, 1, 1, 0, 0, 1), "f>=#1/1/2026#", true},
        {Date::FromCivil(2026, 1, 1, 0, 0, 1), "f=#1/1/2026#", false},
        // Before 1900 an OLE date's fraction runs the other way; dates still compare as dates.
        {Date::FromCivil(1899, 12, 28, 18, 0, 0), "f>=#12/28/1899#", true},
        {Null{}, "f=0", false},
        {Null{}, "f>=#1/1/2026#", false},
        {Variant(), "f=0", false},
        {"0", "f=0", false},
        {Binary{{1}}, "f=1", false},
    };
    for (const SatisfiesCase& test : cases) {
        SCOPED_TRACE(std::string(test.filter) + " on a " + test.value.kindName());
        EXPECT_EQ(Satisfies(test.value, ParseFilter(test.filter).comparisons.at(0)), test.passes);
    }
}

}  // namespace
}  // namespace infotrakon::agenda_db
