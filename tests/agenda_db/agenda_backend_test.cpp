// The data control Adodc1 on agendas written by our Jet writer, reached through a Wine
// prefix's drive C as the host names them.
#include "agenda_db/agenda_backend.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "agenda_db/agenda_access.h"
#include "core/error.h"
#include "core/wine_file_system.h"
#include "mkagenda/jet_writer.h"
#include "panel/panel.h"
#include "support/test_support.h"

namespace infotrakon::agenda_db {
namespace {

namespace fs = std::filesystem;
using infotrakon::testing::ErrorNumberOf;
using jet::ColumnType;
using mkagenda::ColumnDefinition;
using mkagenda::JetWriter;

struct ServiceRow {
    Variant datum, car, servis, stav, castka;
};

// A carservis table with the given rows, a cars table and a table with a blank in its name.
void WriteAgenda(const fs::path& path, const std::vector<ServiceRow>& rows) {
    JetWriter writer;
    const auto service = writer.AddTable("carservis", {{"datum", ColumnType::kDateTime},
                                                       {"car", ColumnType::kBoolean},
                                                       {"servis", ColumnType::kBoolean},
                                                       {"stav", ColumnType::kLong},
                                                       {"castka", ColumnType::kCurrency}});
    for (const ServiceRow& row : rows)
        writer.AppendRow(
            service, std::vector<Variant>{row.datum, row.car, row.servis, row.stav, row.castka});
    const auto cars = writer.AddTable("cars", {{"name", ColumnType::kText, 50}});
    writer.AppendRow(cars, std::vector<Variant>{Variant("Tatra 815")});
    const auto spaced = writer.AddTable("moje tabulka", {{"pole", ColumnType::kLong}});
    writer.AppendRow(spaced, std::vector<Variant>{Variant(7)});
    writer.Finish(path.string());
}

using infotrakon::testing::Utf16File;

class AgendaBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        files_ = std::make_shared<WineFileSystem>(prefix_.string());
        panel_.Adodc1.SetBackend(std::make_shared<AgendaBackend>(files_));
        const Date newYear = Date::FromCivil(2026, 1, 1);
        WriteAgenda(prefix_ / "drive_c" / "Agenda" / "agenda.mdb",
                    {{Date::FromCivil(2025, 12, 31, 23, 59, 59), true, true, 0, Currency{10000}},
                     {newYear, true, true, 0, Currency{25000}},
                     {Date::FromCivil(2026, 6, 30, 8, 15, 0), true, false, 0, Currency{40000}},
                     {Date::FromCivil(2027, 1, 1), false, true, 1, Currency{80000}},
                     {Null{}, true, true, 0, Null{}},
                     {newYear, false, false, Null{}, Currency{-5}}});
    }

    void Connect(const std::string& hostPath) {
        panel_.Label3.SetCaption(hostPath);
        ASSERT_TRUE(ConnectAgenda(panel_, *files_)) << hostPath;
    }

    std::vector<Variant> Walk(const std::string& source, const std::string& filter,
                              const std::string& field) {
        panel::Recordset& records = OpenAgendaRecordset(panel_, source, filter);
        std::vector<Variant> values;
        const std::int32_t count = records.RecordCount();
        for (std::int32_t i = 0; i < count; ++i) {
            values.push_back(records.FieldValue(field));
            records.MoveNext();
        }
        return values;
    }

    void WriteFile(const std::string& name, const std::string& bytes) {
        std::ofstream(prefix_ / "drive_c" / "Agenda" / name, std::ios::binary) << bytes;
    }

    infotrakon::testing::TemporaryWinePrefix wine_{"agenda"};
    const fs::path& prefix_ = wine_.path();
    std::shared_ptr<WineFileSystem> files_;
    panel::Panel panel_;
};

TEST_F(AgendaBackendTest, FiltersAsThePanelAsks) {
    Connect("C:\\AGENDA\\Agenda.MDB");
    EXPECT_EQ(panel_.Adodc1.connectionString(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\AGENDA\\Agenda.MDB;Persist "
              "Security Info=False");
    const std::string all = "SELECT * FROM carservis";
    const struct {
        const char* filter;
        std::vector<Variant> amounts;
    } cases[] = {
        {"",
         {Currency{10000}, Currency{25000}, Currency{40000}, Currency{80000}, Null{},
          Currency{-5}}},
        // 31 December of last year out, 1 January in, next year in; a Null date never passes.
        {"car=true and servis=true and datum >= #1/1/2026#", {Currency{25000}}},
        {"datum >= #1/1/2026#", {Currency{25000}, Currency{40000}, Currency{80000}, Currency{-5}}},
        {"car=false", {Currency{80000}, Currency{-5}}},
        {"CAR=-1 AND Servis=0", {Currency{40000}}},
        // A Null stav equals nothing.
        {"stav=0", {Currency{10000}, Currency{25000}, Currency{40000}, Null{}}},
        {"stav>=1", {Currency{80000}}},
        {"stav=2", {}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.filter);
        EXPECT_EQ(Walk(all, test.filter, "castka"), test.amounts);
    }
    EXPECT_EQ(Walk("select * from CARSERVIS", "", "CASTKA").size(), 6u);
    EXPECT_EQ(Walk("SELECT * FROM [moje tabulka]", "", "pole"), std::vector<Variant>{7});
    // The connection string stays from one query to the next.
    EXPECT_EQ(panel_.Adodc1.connectionString().rfind("Provider=Microsoft.Jet.OLEDB.4.0;", 0), 0u);
    EXPECT_EQ(panel_.Adodc1.recordSource(), "SELECT * FROM [moje tabulka]");
}

// A reader that names its fields reads those alone; a field it did not name is an error.
TEST_F(AgendaBackendTest, AReaderReadsTheFieldsItNamed) {
    Connect("C:\\AGENDA\\Agenda.MDB");
    panel::Recordset& records =
        OpenAgendaRecordset(panel_, "SELECT * FROM carservis", "stav=0", {"castka", "chybí"});
    ASSERT_EQ(records.RecordCount(), 4);
    EXPECT_EQ(records.FieldValue("CASTKA"), Variant(Currency{10000}));
    for (const char* field : {"datum", "stav", "chybí"})
        EXPECT_EQ(infotrakon::testing::ErrorNumberOf([&] { records.FieldValue(field); }),
                  error_number::kItemNotFound)
            << field;
    records.SetFieldsRead({});
    EXPECT_EQ(records.FieldValue("stav"), Variant(0));
}

TEST_F(AgendaBackendTest, RecordSetMovesAsTheDataControlsDoes) {
    Connect("c:\\agenda\\agenda.mdb");
    EXPECT_EQ(ErrorNumberOf([&] { panel_.Adodc1.recordset(); }), 91);
    panel::Recordset& records = OpenAgendaRecordset(panel_, "SELECT * FROM carservis", "stav>=1");
    EXPECT_EQ(records.FieldNames(),
              (std::vector<std::string>{"datum", "car", "servis", "stav", "castka"}));
    EXPECT_EQ(records.RecordCount(), 1);
    EXPECT_EQ(records.FieldValue("datum"), Variant(Date::FromCivil(2027, 1, 1)));
    EXPECT_EQ(ErrorNumberOf([&] { records.FieldValue("km"); }), 3265);
    records.MoveNext();
    EXPECT_EQ(ErrorNumberOf([&] { records.FieldValue("castka"); }), 3021);
    EXPECT_EQ(ErrorNumberOf([&] { records.MoveNext(); }), 3021);
    records.MoveFirst();
    EXPECT_EQ(records.FieldValue("stav"), Variant(1));
    records.SetFilter("stav=7");
    EXPECT_EQ(records.RecordCount(), 0);
    EXPECT_EQ(ErrorNumberOf([&] { records.MoveFirst(); }), 3021);
    EXPECT_EQ(ErrorNumberOf([&] { records.SetFilter("km=1"); }), 3001);
    records.SetFilter("");
    EXPECT_EQ(records.RecordCount(), 6);
    records.Close();
    EXPECT_EQ(ErrorNumberOf([&] { records.RecordCount(); }), 3704);
}

TEST_F(AgendaBackendTest, AFailedRefreshKeepsTheLastRecordSet) {
    Connect("C:\\Agenda\\agenda.mdb");
    OpenAgendaRecordset(panel_, "SELECT * FROM cars", "");
    std::string message;
    EXPECT_EQ(
        ErrorNumberOf([&] { OpenAgendaRecordset(panel_, "SELECT * FROM vozy", ""); }, &message),
        3078);
    EXPECT_NE(message.find("vozy"), std::string::npos) << message;
    EXPECT_EQ(panel_.Adodc1.recordset().FieldValue("name"), Variant("Tatra 815"));
}

TEST_F(AgendaBackendTest, DataLinksInEitherEncodingPointAtTheAgenda) {
    const std::string initString =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Agenda\\agenda.mdb;Persist Security "
        "Info=False";
    WriteFile("utf16.udl", Utf16File("[oledb]\r\n; Everything after this line is an OLE DB "
                                     "initstring\r\n" +
                                     initString + "\r\n"));
    WriteFile("utf8.udl", "[oledb]\n" + initString + "\n");
    for (const char* link : {"C:\\Agenda\\utf16.udl", "C:\\Agenda\\UTF8.UDL"}) {
        SCOPED_TRACE(link);
        Connect(link);
        EXPECT_EQ(panel_.Adodc1.connectionString(), "FILE NAME=" + std::string(link) + ";");
        EXPECT_EQ(Walk("SELECT * FROM carservis", "stav>=1", "stav"), std::vector<Variant>{1});
    }
}

TEST_F(AgendaBackendTest, WhatTheProviderCannotOpenIsAClearError) {
    WriteFile("server.udl", "[oledb]\nProvider=SQLOLEDB.1;Data Source=fleet;Password=secret\n");
    WriteFile("nosource.udl", "[oledb]\nProvider=Microsoft.Jet.OLEDB.4.0\n");
    WriteFile("gone.udl", "[oledb]\nProvider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\nic.mdb\n");
    WriteFile("empty.udl", "");
    WriteFile("notes.mdb", "no database here");
    const struct {
        const char* connection;
        const char* source;
        int number;
        const char* named;
    } cases[] = {
        {"", "SELECT * FROM cars", 3706, "empty"},
        {"FILE NAME=C:\\Agenda\\server.udl;", "SELECT * FROM cars", 3706, "SQLOLEDB.1"},
        {"FILE NAME=C:\\Agenda\\nosource.udl;", "SELECT * FROM cars", 3024, "Data Source"},
        {"FILE NAME=C:\\Agenda\\gone.udl;", "SELECT * FROM cars", 3024, "nic.mdb"},
        {"FILE NAME=C:\\Agenda\\empty.udl;", "SELECT * FROM cars", 3051, "empty.udl"},
        {"FILE NAME=C:\\Agenda\\missing.udl;", "SELECT * FROM cars", 3024, "missing.udl"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Agenda\\notes.mdb", "SELECT * FROM cars",
         3343, "notes.mdb"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Agenda\\agenda.mdb",
         "SELECT name FROM cars", 3001, "SELECT name FROM cars"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"C:\\Agenda\\agenda.mdb",
         "SELECT * FROM cars", 3709, "not closed"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.connection);
        panel_.Adodc1.SetConnectionString(test.connection);
        std::string message;
        EXPECT_EQ(ErrorNumberOf([&] { OpenAgendaRecordset(panel_, test.source, ""); }, &message),
                  test.number)
            << message;
        EXPECT_NE(message.find(test.named), std::string::npos) << message;
        EXPECT_EQ(message.find("secret"), std::string::npos) << message;
    }
}

// A path of another extension keeps the connection string of the last query: the panel reads
// the earlier database once more, not the file the path names.
TEST_F(AgendaBackendTest, APathOfAnotherExtensionReadsTheEarlierDatabase) {
    Connect("C:\\Agenda\\agenda.mdb");
    EXPECT_EQ(Walk("SELECT * FROM cars", "", "name"), std::vector<Variant>{"Tatra 815"});
    WriteFile("notes.txt", "no database here");
    Connect("C:\\Agenda\\notes.txt");
    EXPECT_EQ(Walk("SELECT * FROM cars", "", "name"), std::vector<Variant>{"Tatra 815"});
    EXPECT_EQ(Walk("SELECT * FROM carservis", "stav>=1", "stav"), std::vector<Variant>{1});
}

TEST_F(AgendaBackendTest, ConnectingFollowsTheExtensionOfThePath) {
    WriteFile("notes.txt", "x");
    panel_.Adodc1.SetConnectionString("kept");
    panel_.Label3.SetCaption("C:\\Agenda\\notes.txt");
    EXPECT_TRUE(ConnectAgenda(panel_, *files_));
    EXPECT_EQ(panel_.Adodc1.connectionString(), "kept");
    panel_.Label3.SetCaption("C:\\Agenda\\none.mdb");
    EXPECT_FALSE(ConnectAgenda(panel_, *files_));
    panel_.Label3.SetCaption("");
    EXPECT_FALSE(ConnectAgenda(panel_, *files_));
    EXPECT_EQ(panel_.Adodc1.connectionString(), "kept");

    const std::pair<const char*, std::optional<std::string>> paths[] = {
        {"x.mdb", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb;Persist Security Info=False"},
        {"D:\\A.MdB",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=D:\\A.MdB;Persist Security Info=False"},
        {"a.udl", "FILE NAME=a.udl;"},
        {"agenda.mdb ", std::nullopt},
        {"agenda.accdb", std::nullopt},
        {"č.md", std::nullopt},
    };
    for (const auto& [path, connection] : paths)
        EXPECT_EQ(AgendaConnectionString(path), connection) << path;
    for (const char* tooShort : {"", "mdb", "čmb"}) {
        std::string message;
        EXPECT_EQ(ErrorNumberOf([&] { AgendaConnectionString(tooShort); }, &message), 5)
            << tooShort;
    }
}

// A protected agenda opens through a data link that gives its password, as the Jet provider
// takes it; a wrong password, or none, is refused without naming it.
TEST_F(AgendaBackendTest, ADataLinksPasswordOpensAProtectedAgenda) {
    mkagenda::JetWriter writer;
    const auto cars = writer.AddTable("cars", {{"name", ColumnType::kText, 50}});
    writer.AppendRow(cars, std::vector<Variant>{Variant("Tatra 815")});
    writer.SetPassword("Tajné heslo");
    writer.Encrypt(0x12345678);
    writer.Finish((prefix_ / "drive_c" / "Agenda" / "chranena.mdb").string());
    const std::string link =
        "[oledb]\r\nProvider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Agenda\\"
        "chranena.mdb;Jet OLEDB:Database Password=";
    WriteFile("spravne.udl", Utf16File(link + "Tajné heslo\r\n"));
    WriteFile("spatne.udl", Utf16File(link + "Tajne heslo\r\n"));
    Connect("C:\\Agenda\\spravne.udl");
    EXPECT_EQ(Walk("SELECT * FROM cars", "", "name"), std::vector<Variant>{"Tatra 815"});
    EXPECT_EQ(panel_.Adodc1.connectionString().find("heslo"), std::string::npos);
    for (const char* refused : {"C:\\Agenda\\spatne.udl", "C:\\Agenda\\chranena.mdb"}) {
        SCOPED_TRACE(refused);
        Connect(refused);
        std::string message;
        EXPECT_EQ(
            ErrorNumberOf([&] { OpenAgendaRecordset(panel_, "SELECT * FROM cars", ""); }, &message),
            error_number::kInvalidPassword);
        EXPECT_NE(message.find("Not a valid password."), std::string::npos) << message;
        EXPECT_NE(message.find("chranena.mdb"), std::string::npos) << message;
        EXPECT_EQ(message.find("heslo"), std::string::npos) << message;
    }
}

TEST_F(AgendaBackendTest, ALinkedTableIsNamedAsSuch) {
    mkagenda::JetWriter writer;
    const auto firma = writer.AddTable("firma", {{"nazev", ColumnType::kText, 50}});
    writer.AppendRow(firma, std::vector<Variant>{Variant("Autodoprava")});
    writer.AddLinkedTable("carservis", "\\\\server\\data\\servis.mdb", "carservis");
    writer.Finish((prefix_ / "drive_c" / "Agenda" / "propojena.mdb").string());
    Connect("C:\\Agenda\\propojena.mdb");
    std::string message;
    EXPECT_EQ(ErrorNumberOf([&] { OpenAgendaRecordset(panel_, "SELECT * FROM carservis", ""); },
                            &message),
              error_number::kNoSuchTable);
    EXPECT_NE(message.find("table carservis is linked to \\\\server\\data\\servis.mdb, which this "
                           "panel does not follow"),
              std::string::npos)
        << message;
    EXPECT_EQ(Walk("SELECT * FROM firma", "", "nazev"), std::vector<Variant>{"Autodoprava"});
}

// A date is compared on its stored double where the double can answer: about midnight, where a
// double half a second short reads as the next day, and before 1900, where the fraction runs
// the other way, every filter and day hint selects what comparing the dates read selects.
TEST_F(AgendaBackendTest, StoredDatesSelectAsTheDatesTheyReadAs) {
    const double halfSecond = 0.5 / 86400;
    const double infinity = std::numeric_limits<double>::infinity();
    std::vector<double> stored = {-0.0, -0.5, -1.25, -1.999999, 46023.999994, 46023.5};
    for (const double midnight : {46023.0, 46024.0, 0.0, 1.0, -1.0, -2.0})
        for (const double offset : {0.0, halfSecond, -halfSecond})
            for (int steps = -2; steps <= 2; ++steps) {
                double ole = midnight + offset;
                for (int i = 0; i < std::abs(steps); ++i)
                    ole = std::nextafter(ole, steps > 0 ? infinity : -infinity);
                stored.push_back(ole);
            }
    JetWriter writer;
    // A long text each, so that the records spread over pages: the places of those a day hint
    // leaves out are counted across them.
    const auto service = writer.AddTable("carservis", {{"datum", ColumnType::kDateTime},
                                                       {"castka", ColumnType::kCurrency},
                                                       {"popis", ColumnType::kText, 200}});
    for (std::size_t i = 0; i < stored.size(); ++i)
        writer.AppendRow(service, std::vector<Variant>{stored[i], Currency{std::int64_t(i)},
                                                       std::string(200, 'x')});
    writer.Finish((prefix_ / "drive_c" / "Agenda" / "hrany.mdb").string());
    Connect("C:\\Agenda\\hrany.mdb");
    const auto selected = [&](const std::function<bool(const Date&)>& passes) {
        std::vector<Variant> amounts;
        for (std::size_t i = 0; i < stored.size(); ++i)
            if (passes(Date::FromOle(stored[i]))) amounts.push_back(Currency{std::int64_t(i)});
        return amounts;
    };
    const std::string all = "SELECT * FROM carservis";
    for (const auto& [filter, day] : {std::pair{"1/1/2026", Date::FromCivil(2026, 1, 1)},
                                      std::pair{"1/2/2026", Date::FromCivil(2026, 1, 2)},
                                      std::pair{"12/30/1899", Date::FromCivil(1899, 12, 30)},
                                      std::pair{"12/31/1899", Date::FromCivil(1899, 12, 31)},
                                      std::pair{"12/29/1899", Date::FromCivil(1899, 12, 29)},
                                      std::pair{"12/28/1899", Date::FromCivil(1899, 12, 28)}}) {
        SCOPED_TRACE(filter);
        EXPECT_EQ(Walk(all, std::string("datum >= #") + filter + "#", "castka"),
                  selected([&](const Date& date) { return date >= day; }));
        EXPECT_EQ(Walk(all, std::string("datum = #") + filter + "#", "castka"),
                  selected([&](const Date& date) { return date == day; }));
        // The records a day hint leaves in, each at its place among those the filter passes.
        const Date since = Date::FromCivil(1899, 12, 29);
        for (const bool filtered : {false, true})
            for (const int days : {0, 1}) {
                SCOPED_TRACE(std::to_string(days) + (filtered ? " days, filtered" : " days"));
                panel::Recordset& records = OpenAgendaRecordset(
                    panel_, all, filtered ? "datum >= #12/29/1899#" : "", {"castka"});
                records.SetDaysRead("datum", day, day.AddDays(days));
                std::vector<std::pair<Variant, std::int32_t>> placed, expected;
                for (std::int32_t i = records.RecordCount(); i > 0; --i, records.MoveNext())
                    placed.emplace_back(records.FieldValue("castka"), records.AbsolutePosition());
                std::int32_t place = 0;
                for (std::size_t i = 0; i < stored.size(); ++i) {
                    const Date date = Date::FromOle(stored[i]);
                    if (filtered && date < since) continue;
                    ++place;
                    if (day <= date.WholeDay() && date.WholeDay() <= day.AddDays(days))
                        expected.emplace_back(Currency{std::int64_t(i)}, place);
                }
                EXPECT_EQ(placed, expected);
            }
    }
}

// A record is passed over unread only where the comparisons before the failing one pass: a
// date no field can hold raises its error where the filter reaches it, and only there.
TEST_F(AgendaBackendTest, ARecordPassedOverUnreadHidesNoError) {
    JetWriter writer;
    const auto service = writer.AddTable(
        "carservis", {{"car", ColumnType::kBoolean}, {"datum", ColumnType::kDateTime}});
    writer.AppendRow(service, std::vector<Variant>{false, 46023.0});
    writer.AppendRow(service, std::vector<Variant>{false, 3e6});  // past the year 9999
    writer.Finish((prefix_ / "drive_c" / "Agenda" / "poskozena.mdb").string());
    Connect("C:\\Agenda\\poskozena.mdb");
    const struct {
        const char* filter;
        bool raises;
    } cases[] = {
        {"car=true and datum >= #1/1/2026#", false},
        {"datum >= #1/1/2026# and car=true", true},
        {"datum >= #1/1/2026# and car=false", true},
        {"car=false and datum >= #1/1/2026#", true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.filter);
        std::string message;
        const int number = ErrorNumberOf(
            [&] {
                OpenAgendaRecordset(panel_, "SELECT * FROM carservis", test.filter, {"car"})
                    .RecordCount();
            },
            &message);
        EXPECT_EQ(number != 0, test.raises) << message;
        if (test.raises) {
            EXPECT_NE(message.find("field datum holds no date between the years 100 and 9999"),
                      std::string::npos)
                << message;
        }
    }
}

}  // namespace
}  // namespace infotrakon::agenda_db
