// The same agenda in an Access file and on a PostgreSQL server of the test's own, reached
// through a data link to ODBC: the panel must show exactly the same.
#include <pwd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "control/panel_json.h"
#include "core/text_encoding.h"
#include "host_fixture.h"
#include "mkagenda/description.h"
#include "mkagenda/sql_writer.h"
#include "panel_run.h"
#include "support/postgres_server.h"

namespace infotrakon::control::testing {
namespace {

using infotrakon::testing::TemporaryPostgres;

// An environment variable set for one test, and as it was again after it.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = ::getenv(name)) saved_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (saved_) {
            ::setenv(name_, saved_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> saved_;
};

class ServerAgendaTest : public HostTest {
  protected:
    // The agenda as C:\Agenda\agenda.mdb and as the server database `database`, with a data
    // link C:\Agenda\server.udl to it.
    void Load(const std::function<void(mkagenda::TableWriter&)>& write,
              const std::string& database) {
        mkagenda::JetWriter jet;
        mkagenda::SqlWriter sql;
        mkagenda::TeeWriter both({&jet, &sql});
        write(both);
        jet.Finish((prefix_ / "drive_c" / "Agenda" / "agenda.mdb").string());
        const fs::path script = prefix_ / "agenda.sql";
        sql.Finish(script.string());
        server_->CreateDatabase(database);
        server_->Psql(database, "-f '" + script.string() + "'");
        WriteLink("server.udl", server_->OdbcProperties(database));
    }

    // A data link as the platform writes one: UTF-16 with its mark.
    void WriteLink(const std::string& name, const std::string& extendedProperties) {
        const std::string text =
            "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
            "Provider=MSDASQL.1;Persist Security Info=False;Extended Properties=\"" +
            extendedProperties + "\"\r\n";
        std::ofstream(prefix_ / "drive_c" / "Agenda" / name, std::ios::binary)
            << infotrakon::testing::Utf16File(text);
    }

    // The element model after the start-up and every view with every period, as JSON, the
    // path and the connection string left out (they name the file or the link).
    std::vector<nlohmann::json> Models(const std::string& setting) {
        SetHostSetting(setting);
        Start();
        std::vector<nlohmann::json> models;
        const auto take = [&] {
            nlohmann::json model = nlohmann::json::parse(control::PanelJson(Panel(), std::nullopt));
            model["elements"].erase("Label3");
            model["elements"]["Adodc1"].erase("connectionString");
            models.push_back(model);
        };
        take();
        for (const char* option : {"Option1", "Option2", "Option3", "Option4"}) {
            control_->Click(option);
            for (int period = 0; period < 6; ++period) {
                control_->ChooseItem("Combo2", period);
                take();
            }
        }
        control_->Click("Command2");
        take();
        return models;
    }

    void ExpectSameAsTheFile(const std::string& database) {
        const auto fromFile = Models("\"C:\\\\Agenda\\\\agenda.mdb\"");
        const auto fromServer = Models("\"C:\\\\Agenda\\\\server.udl\"");
        ASSERT_EQ(fromFile.size(), fromServer.size());
        for (std::size_t i = 0; i < fromFile.size(); ++i)
            EXPECT_EQ(fromServer[i], fromFile[i]) << "step " << i;
        EXPECT_NE(Panel().Adodc1.connectionString().find("server.udl"), std::string::npos)
            << database;
    }

    // The server of the suite; a test that stops its server brings one of its own.
    const TemporaryPostgres* server_ = &TemporaryPostgres::Shared();
};

TEST_F(ServerAgendaTest, TheDemoAgendaShowsAsFromItsFile) {
    Load([](mkagenda::TableWriter& writer) { mkagenda::WriteDemoAgenda(writer, Today()); }, "demo");
    ExpectSameAsTheFile("demo");
    EXPECT_EQ(Panel().Label16.caption(), "Autodoprava Novák s.r.o.");
}

TEST_F(ServerAgendaTest, AwkwardValuesShowAsFromTheFile) {
    Agenda agenda;
    agenda.firma = {Variant("Doprava \"U Nováků\"\tv.o.s.")};
    agenda.carservis = {
        {Date::FromCivil(2025, 12, 31, 23, 59, 59), true, true, 0, Currency{10000}},
        {Date::FromCivil(2026, 12, 9, 7, 5, 9), true, false, 0, Currency{12345678}, 0, 12.0,
         "Oprava brzd\r\nTatra 815 \\ zadní"},
        {Date::FromCivil(2026, 12, 10), false, false, 0, Currency{-5}, 120500, 0.25, ""},
        {Date::FromCivil(2026, 12, 1), false, true, Null{}, Currency{0}, 3, 1e-7, "Null stav"},
        {Date::FromCivil(2027, 1, 1), true, true, 0, Currency{9223372036854775807LL}, 0, 0.0,
         "max"},
    };
    agenda.cars = {
        {"Tatra 815", Null{}, Date::FromCivil(2026, 12, 9, 15, 0, 0),
         Date::FromCivil(2026, 12, 12)},
        {Null{}, "2B7 8899", Date::FromCivil(2026, 12, 16), Date::FromCivil(2026, 12, 9)},
        {"Avia", "3C1", Date::FromCivil(2026, 12, 9), Date::FromCivil(2026, 12, 9), true}};
    Load([&](mkagenda::TableWriter& writer) { WriteTables(writer, agenda); }, "awkward");
    ExpectSameAsTheFile("awkward");
    // Written down from the agenda above, on 9 December 2026: the largest amount a currency
    // field holds, in 15 significant digits; a line break as four points; a Null joined as
    // empty text; the retired car left out of the deadlines.
    EXPECT_EQ(Figures(),
              (std::vector<std::string>{" 922337203685 478,00", "  0,00", " 1 234,57", "  0,00"}));
    const std::vector<std::string> repair = {"9.12.2026 7:05:09", "", "12",
                                             "Oprava brzd....Tatra 815 \\ zadní", "1234,5678"};
    const struct {
        const char* option;
        int period;
        std::vector<std::vector<std::string>> rows;
    } views[] = {
        {"Option1", 0, {repair}},
        {"Option2", 5, {repair, {"10.12.2026", "120500", "0,25", "", "-0,0005"}}},
        {"Option3", 0, {}},
        {"Option3", 5, {{"1.12.2026", "3", "1E-07", "Null stav", ""}}},
        {"Option4",
         5,
         {{"9.12.2026", "", "", "Tatra 815  - konec STK", ""},
          {"16.12.2026", "", "", " 2B7 8899 - konec STK", ""},
          {"12.12.2026", "", "", "Tatra 815  - končí platnost emisí", ""},
          {"9.12.2026", "", "", " 2B7 8899 - končí platnost emisí", ""}}},
    };
    for (const auto& view : views) {
        SCOPED_TRACE(std::string(view.option) + " " + std::to_string(view.period));
        control_->Click(view.option);
        control_->ChooseItem("Combo2", view.period);
        EXPECT_EQ(Rows(), view.rows);
    }
}

// What every view shows with every period, the error of a fill included, as JSON.
std::vector<nlohmann::json> ListsOfEveryView(InfoTrakon& control) {
    std::vector<nlohmann::json> lists;
    for (const char* option : {"Option1", "Option2", "Option3", "Option4"})
        for (int period = 0; period < 6; ++period) {
            std::optional<Error> error;
            try {
                control.Click(option);
                control.ChooseItem("Combo2", period);
            } catch (const Error& raised) {
                error = raised;
            }
            nlohmann::json model =
                nlohmann::json::parse(control::PanelJson(control.panel(), error));
            lists.push_back({option, period, model["elements"]["ListView1"], model["error"]});
        }
    return lists;
}

// The list's day range leaves out only rows whose day no period test could pass: with it and
// without it, the file and the server show the same rows in the same order, and the same
// errors naming the same records, for every view and period. The rows lie at the edges of
// each period, at times of day, at the year's end, and some have no date at all.
TEST_F(ServerAgendaTest, TheListsDayRangeChangesNothingThatIsShown) {
    const auto at = [](int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
        return Variant(Date::FromCivil(year, month, day, hour, minute, second));
    };
    // Today is Wednesday 9 December 2026.
    const std::vector<Variant> days = {at(2026, 12, 9, 7, 5, 9),
                                       at(2026, 12, 8, 23, 59, 59),
                                       at(2026, 12, 10),
                                       at(2026, 12, 2),
                                       at(2026, 12, 1, 23, 59, 59),
                                       at(2026, 12, 16, 12),
                                       at(2026, 12, 17),
                                       at(2026, 11, 30, 23, 59, 59),
                                       at(2026, 12, 31, 23, 59, 59),
                                       at(2027, 1, 1),
                                       at(2025, 12, 31),
                                       at(2026, 12, 9),
                                       at(2026, 1, 9),
                                       at(2027, 12, 9),
                                       at(1899, 12, 30, 12)};
    Agenda agenda;
    for (std::size_t i = 0; i < days.size() * 3; ++i) {
        // A row without a date late in each view's order, after rows the periods show.
        const Variant datum =
            i == 28 || i == 37 || i == 41 ? Variant(Null{}) : days[i % days.size()];
        agenda.carservis.push_back({datum, i % 2 == 0, i % 3 == 1, static_cast<int>(i % 4 == 0),
                                    Currency{static_cast<std::int64_t>(i) * 10000}, 0, 0.0,
                                    "řádek " + std::to_string(i)});
    }
    Load([&](mkagenda::TableWriter& writer) { WriteTables(writer, agenda); }, "days");
    std::vector<std::vector<nlohmann::json>> shown;
    for (const char* setting : {"\"C:\\\\Agenda\\\\agenda.mdb\"", "\"C:\\\\Agenda\\\\server.udl\""})
        for (const bool hints : {false, true}) {
            SCOPED_TRACE(std::string(setting) + (hints ? " with" : " without") + " the range");
            SetHostSetting(setting);
            dayHints_ = hints;
            std::string startUp;
            try {
                Start();
            } catch (const Error& error) {
                startUp = error.what();  // the start-up's list stops as well
            }
            shown.push_back(ListsOfEveryView(*control_));
            shown.back().push_back(startUp);
        }
    for (std::size_t i = 1; i < shown.size(); ++i)
        for (std::size_t step = 0; step < shown[0].size(); ++step)
            EXPECT_EQ(shown[i][step], shown[0][step]) << "run " << i << ", step " << step;
    // The test has teeth: some fills stop at a row without a date, after rows of their own.
    int stopped = 0;
    for (const nlohmann::json& step : shown[0])
        if (step.is_array() && !step[3].is_null() && !step[2]["rows"].empty()) ++stopped;
    EXPECT_GT(stopped, 0);
}

// PostgreSQL starts a scan of a large table (over a quarter of its buffers) where another
// session's scan of it is. Beside another client that holds a cursor a third into the table,
// the lists show the rows in the file's order and their errors name the file's records: the
// panel's sessions scan from the start, the lists and the second scan that numbers a row.
TEST_F(ServerAgendaTest, AnotherClientsScanChangesNotTheOrderOfTheRows) {
    TemporaryPostgres own;
    server_ = &own;
    own.Psql("postgres", "-c \"ALTER SYSTEM SET shared_buffers = '128kB'\"");
    own.Stop();
    own.Start();
    Agenda agenda;
    // Some fifty pages; a row of today's date every few pages, and late rows without a date.
    for (int i = 0; i < 6000; ++i) {
        const Variant datum = i == 4321 || i == 5990 ? Variant(Null{})
                              : i % 400 == 7 ? Variant(Date::FromCivil(2026, 12, 9, 8, 0, 0))
                                             : Variant(Date::FromCivil(2020, 3, 1));
        agenda.carservis.push_back({datum, i % 2 == 0, i % 3 == 1, 0, Currency{i * 100LL}, i, 0.5,
                                    "řádek " + std::to_string(i)});
    }
    Load([&](mkagenda::TableWriter& writer) { WriteTables(writer, agenda); }, "beside");
    ASSERT_GT(std::stoi(own.Query("beside", "SELECT pg_relation_size('carservis') / 8192")), 32);
    own.PsqlBeside("beside",
                   "-c 'BEGIN' -c 'DECLARE held CURSOR FOR SELECT * FROM carservis' "
                   "-c 'FETCH 2000 FROM held' -c 'SELECT pg_sleep(60)'");
    const std::string sleeping =
        "SELECT count(*) FROM pg_stat_activity WHERE query LIKE 'SELECT pg_sleep%'";
    for (int attempt = 0; attempt < 250 && own.Query("beside", sleeping) != "1"; ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(own.Query("beside", sleeping), "1");
    std::vector<std::vector<nlohmann::json>> shown;
    for (const char* setting :
         {"\"C:\\\\Agenda\\\\agenda.mdb\"", "\"C:\\\\Agenda\\\\server.udl\""}) {
        SCOPED_TRACE(setting);
        SetHostSetting(setting);
        std::string startUp;
        try {
            Start();
        } catch (const Error& error) {
            startUp = error.what();
        }
        shown.push_back(ListsOfEveryView(*control_));
        shown.back().push_back(startUp);
    }
    own.Query("beside",
              "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE query LIKE "
              "'SELECT pg_sleep%'");
    for (std::size_t step = 0; step < shown[0].size(); ++step)
        EXPECT_EQ(shown[1][step], shown[0][step]) << "step " << step;
}

// The same records, and the server sends only those that pass where it can compare as we
// do: a WHERE clause that let too many through would cost the network what it saves.
TEST_F(ServerAgendaTest, FiltersGiveTheSameRecordsOnTheServer) {
    Agenda agenda;
    for (int i = 0; i < 40; ++i)
        agenda.carservis.push_back(
            {i % 7 == 0 ? Variant(Null{})
                        : Variant(Date::FromCivil(2025 + i % 3, 1 + i % 12, 1 + i % 28)),
             i % 2 == 0, i % 3 == 0, i % 5 == 0 ? Variant(Null{}) : Variant(i % 4),
             Currency{i * 1000}});
    Load([&](mkagenda::TableWriter& writer) { WriteTables(writer, agenda); }, "filters");
    // The rows that the server sent through the driver's cursor.
    server_->Psql("filters", "-c 'CREATE EXTENSION pg_stat_statements'");
    const auto rowsSent = [&] {
        return std::stoi(server_->Query(
            "filters",
            "SELECT coalesce(sum(s.rows), 0) FROM pg_stat_statements s JOIN pg_database d ON "
            "d.oid = s.dbid WHERE d.datname = 'filters' AND s.query ILIKE 'fetch%'"));
    };
    const auto backend = std::make_shared<agenda_db::AgendaBackend>(
        std::make_shared<WineFileSystem>(prefix_.string()));
    const auto read = [&](const std::string& connection, const std::string& filter) {
        const auto records = backend->Open(connection, "SELECT * FROM carservis", {});
        records->SetFilter(filter);
        std::vector<Variant> ids;
        const std::int32_t count = records->RecordCount();
        for (std::int32_t i = 0; i < count; ++i) {
            ids.push_back(records->FieldValue("id"));
            records->MoveNext();
        }
        records->Close();
        return ids;
    };
    // Whether the server can answer the filter: it compares a yes/no field only with true or
    // false, and a number only with a number.
    const struct {
        const char* filter;
        bool answeredByTheServer;
    } filters[] = {{"", false},
                   {"car=true", true},
                   {"car=-1", false},
                   {"servis=false and stav=0", true},
                   {"stav>=2", true},
                   {"stav=-1", true},
                   {"datum >= #1/1/2026#", true},
                   {"car=false and servis=true and datum >= #6/15/2026#", true},
                   {"castka >= 20", true},
                   {"castka=0", true},
                   {"stav=true", false}};
    for (const auto& [filter, answeredByTheServer] : filters) {
        SCOPED_TRACE(filter);
        const std::vector<Variant> fromFile =
            read("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Agenda\\agenda.mdb", filter);
        server_->Query("filters", "SELECT pg_stat_statements_reset()");
        EXPECT_EQ(read("FILE NAME=C:\\Agenda\\server.udl;", filter), fromFile);
        // The count comes with the rows. Where the server cannot answer a comparison, the
        // panel counts the rows in a walk of its own, and walks them again if any passed.
        const int fromServer = static_cast<int>(fromFile.size());
        const int countedHere = fromFile.empty() ? 40 : 2 * 40;
        EXPECT_EQ(rowsSent(), answeredByTheServer || *filter == '\0' ? fromServer : countedHere);
    }
    // A filter that the server answers in part: its comparison goes along with the bounds of
    // the dates that the server forms as numbers, each constant bound at its own marker.
    for (const char* inPart : {"car=true and stav=true", "car=true and stav=-1 and stav=true"}) {
        SCOPED_TRACE(inPart);
        EXPECT_EQ(
            read("FILE NAME=C:\\Agenda\\server.udl;", inPart),
            read("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Agenda\\agenda.mdb", inPart));
    }
}

TEST_F(ServerAgendaTest, TablesAndFieldsOfAnyNameAreFoundAsInTheFile) {
    using jet::ColumnType;
    Load(
        [](mkagenda::TableWriter& writer) {
            const auto quoted = writer.AddTable(
                "moje \"tabulka\"",
                {{"stav \"x\"", ColumnType::kLong}, {"Pole", ColumnType::kText, 20}});
            for (int i = 0; i < 4; ++i) {
                const Variant row[] = {i % 2, "řádek " + std::to_string(i)};
                writer.AppendRow(quoted, row);
            }
            const auto capitals = writer.AddTable("Vozidla", {{"Id", ColumnType::kLong}});
            const Variant row[] = {7};
            writer.AppendRow(capitals, row);
        },
        "names");
    const auto backend = std::make_shared<agenda_db::AgendaBackend>(
        std::make_shared<WineFileSystem>(prefix_.string()));
    const struct {
        const char* recordSource;
        const char* filter;
        const char* field;
    } reads[] = {{"SELECT * FROM [moje \"tabulka\"]", "[stav \"x\"]=1", "pole"},
                 {"SELECT * FROM [moje \"tabulka\"]", "", "STAV \"X\""},
                 {"SELECT * FROM vozidla", "id=7", "id"},
                 {"select * from [VOZIDLA];", "", "ID"}};
    for (const auto& read : reads) {
        SCOPED_TRACE(read.recordSource);
        std::vector<std::vector<Variant>> results;
        for (const std::string connection :
             {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Agenda\\agenda.mdb",
              "FILE NAME=C:\\Agenda\\server.udl;"}) {
            const auto records = backend->Open(connection, read.recordSource, {});
            records->SetFilter(read.filter);
            std::vector<Variant>& values = results.emplace_back();
            for (std::int32_t i = 0, count = records->RecordCount(); i < count; ++i) {
                values.push_back(records->FieldValue(read.field));
                records->MoveNext();
            }
        }
        EXPECT_FALSE(results[0].empty());
        EXPECT_EQ(results[1], results[0]);
    }
}

TEST_F(ServerAgendaTest, ALinkToAnOdbcSourceNamedInOdbcIniReachesTheServer) {
    Load([](mkagenda::TableWriter& writer) { mkagenda::WriteDemoAgenda(writer, Today()); }, "dsn");
    // A user's DSN as the README shows it, in an odbc.ini of the test's own.
    const fs::path odbcIni = prefix_ / "odbc.ini";
    std::ofstream(odbcIni) << "[trakon]\nDriver = PostgreSQL Unicode\nServername = "
                           << server_->socketFolder().string()
                           << "\nPort = " << TemporaryPostgres::kPort << "\nDatabase = dsn\n";
    const ScopedVariable userOdbcIni("ODBCINI", odbcIni.string());
    WriteLink("dsn.udl", "DSN=trakon;UID=agenda;PWD=tajné heslo");
    std::ofstream(prefix_ / "drive_c" / "Agenda" / "outside.udl", std::ios::binary)
        << infotrakon::testing::Utf16File(
               "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
               "Provider=MSDASQL.1;Data Source=trakon;User ID=agenda;Password=tajné heslo\r\n");
    const auto fromFile = Models("\"C:\\\\Agenda\\\\agenda.mdb\"");
    for (const char* link : {"dsn.udl", "outside.udl"}) {
        SCOPED_TRACE(link);
        const auto fromDsn = Models("\"C:\\\\Agenda\\\\" + std::string(link) + "\"");
        EXPECT_EQ(fromDsn, fromFile);
    }
}

TEST_F(ServerAgendaTest, AUserAndPasswordInCzechLogIn) {
    Load([](mkagenda::TableWriter& writer) { mkagenda::WriteDemoAgenda(writer, Today()); },
         "czech");
    // Letters beyond Latin-1 too: the driver manager would narrow them to bytes, the driver
    // takes them as they are.
    server_->Psql("czech",
                  "-c 'DROP ROLE IF EXISTS \"řidič\"' -c \"CREATE ROLE \\\"řidič\\\" LOGIN "
                  "PASSWORD 'čerstvý řidič'\" "
                  "-c 'GRANT SELECT ON ALL TABLES IN SCHEMA public TO \"řidič\"'");
    std::string link = server_->OdbcProperties("czech");
    link.replace(link.find("UID="), std::string::npos, "UID=řidič;PWD=čerstvý řidič");
    WriteLink("czech.udl", link);
    SetHostSetting("\"C:\\\\Agenda\\\\czech.udl\"");
    Start();
    EXPECT_EQ(Panel().Label16.caption(), "Autodoprava Novák s.r.o.");
}

TEST_F(ServerAgendaTest, ServerFailuresAreClearErrors) {
    Load([](mkagenda::TableWriter& writer) { mkagenda::WriteDemoAgenda(writer, Today()); },
         "failures");
    WriteLink("badpassword.udl", server_->OdbcProperties("failures", "špatné"));
    WriteLink("nodatabase.udl", server_->OdbcProperties("nikde"));
    WriteLink("noserver.udl",
              "DRIVER={PostgreSQL Unicode};SERVER=" + (prefix_ / "nothing").string() +
                  ";PORT=5433;DATABASE=failures;UID=agenda;PWD=tajné heslo");
    WriteLink("nodriver.udl",
              "DRIVER={Ovladac, ktery neni};SERVER=db;DATABASE=failures;"
              "UID=agenda;PWD=tajné heslo");
    WriteLink("nodsn.udl", "DSN=nikde;UID=agenda;PWD=tajné heslo");
    server_->CreateDatabase("nocars");
    WriteLink("nocars.udl", server_->OdbcProperties("nocars"));
    const struct {
        const char* link;
        int number;
        const char* named;
    } cases[] = {
        {"badpassword.udl", error_number::kProviderError, "database failures"},
        {"nodatabase.udl", error_number::kProviderError, "database nikde"},
        {"noserver.udl", error_number::kProviderError, "nothing"},
        {"nocars.udl", error_number::kNoSuchTable, "nocars"},
        // Refused before the driver manager is asked to load it.
        {"nodriver.udl", error_number::kProviderNotSupported,
         "'Ovladac, ktery neni', which is not installed"},
        {"nodsn.udl", error_number::kProviderError, "the ODBC source nikde"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.link);
        SetHostSetting("\"C:\\\\Agenda\\\\" + std::string(test.link) + "\"");
        std::string message;
        EXPECT_EQ(ErrorOf([&] { Start(); }, &message), test.number) << message;
        EXPECT_NE(message.find(test.named), std::string::npos) << message;
        EXPECT_EQ(message.find("tajné"), std::string::npos) << message;
        EXPECT_EQ(message.find("špatné"), std::string::npos) << message;
    }
}

TEST_F(ServerAgendaTest, ARefreshAfterTheServerStoppedFailsAndTheNextWorksAgain) {
    TemporaryPostgres own;
    server_ = &own;
    Load([](mkagenda::TableWriter& writer) { mkagenda::WriteDemoAgenda(writer, Today()); },
         "restart");
    SetHostSetting("\"C:\\\\Agenda\\\\server.udl\"");
    Start();
    const std::string figure = Panel().Label5.caption();
    own.Stop();
    std::string message;
    EXPECT_EQ(ErrorOf([&] { control_->Click("Command2"); }, &message),
              error_number::kProviderError);
    EXPECT_NE(message.find("Cannot connect"), std::string::npos) << message;
    own.Start();
    control_->Click("Command2");
    EXPECT_EQ(Panel().Label5.caption(), figure);
}

// An ODBC source may ask its driver for logs: the panel turns them off, for they would be
// files written on its behalf (the driver's own log and its communication log, named after
// the program and its process). The driver is registered here without a log of its own.
TEST_F(ServerAgendaTest, TheDriverWritesNoLogEvenWhereTheSourceAsksForOne) {
    Load([](mkagenda::TableWriter& writer) { mkagenda::WriteDemoAgenda(writer, Today()); },
         "nolog");
    std::ofstream(prefix_ / "odbcinst.ini")
        << "[PostgreSQL Unicode]\nDriver = psqlodbcw.so\nDebug = 0\nCommLog = 0\n";
    std::ofstream(prefix_ / "odbc.ini")
        << "[trakonlog]\nDriver = PostgreSQL Unicode\nServername = "
        << server_->socketFolder().string() << "\nPort = " << TemporaryPostgres::kPort
        << "\nDatabase = nolog\nDebug = 1\nCommLog = 1\n";
    const ScopedVariable system("ODBCSYSINI", prefix_.string());
    const ScopedVariable user("ODBCINI", (prefix_ / "odbc.ini").string());
    // The driver names its logs PREFIX_PROGRAM_USERPID.log; a process of this number before
    // may have left one, which must not grow.
    const auto logs = [] {
        const passwd* account = ::getpwuid(::getuid());
        const std::string ours = "_" + std::string(account != nullptr ? account->pw_name : "") +
                                 std::to_string(::getpid()) + ".log";
        std::map<std::string, std::uintmax_t> found;
        for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
            if (const std::string name = entry.path().filename().string();
                (name.starts_with("psqlodbc_") || name.starts_with("mylog_")) &&
                name.ends_with(ours))
                found[name] = entry.file_size();
        return found;
    };
    const auto before = logs();
    WriteLink("log.udl", "DSN=trakonlog;UID=agenda;PWD=tajné heslo");
    SetHostSetting("\"C:\\\\Agenda\\\\log.udl\"");
    Start();
    control_->Click("Command2");
    EXPECT_EQ(Panel().Label16.caption(), "Autodoprava Novák s.r.o.");
    // The connections kept for the next refresh close with the control.
    control_.reset();
    backend_.reset();
    EXPECT_EQ(logs(), before);
}

TEST_F(ServerAgendaTest, AStartUpAndItsRefreshesLogInOnce) {
    Load([](mkagenda::TableWriter& writer) { mkagenda::WriteDemoAgenda(writer, Today()); }, "once");
    SetHostSetting("\"C:\\\\Agenda\\\\server.udl\"");
    Start();
    control_->Click("Option2");
    control_->Click("Command2");
    const std::string sessions =
        "SELECT count(*) FROM pg_stat_activity WHERE datname = 'once' AND pid <> pg_backend_pid()";
    EXPECT_EQ(server_->Query("once", sessions), "1");
    control_.reset();
    backend_.reset();
    // The control's connections close with it; the server sees that a moment later.
    std::string left;
    for (int attempt = 0; attempt < 50 && (left = server_->Query("once", sessions)) != "0";
         ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(left, "0");
}

TEST_F(ServerAgendaTest, AServerRestartedBetweenRefreshesIsReachedAgainWithoutAnError) {
    TemporaryPostgres own;
    server_ = &own;
    Load([](mkagenda::TableWriter& writer) { mkagenda::WriteDemoAgenda(writer, Today()); },
         "restarted");
    SetHostSetting("\"C:\\\\Agenda\\\\server.udl\"");
    Start();
    const std::string figure = Panel().Label5.caption();
    own.Stop();
    own.Start();
    control_->Click("Command2");
    EXPECT_EQ(Panel().Label5.caption(), figure);
}

}  // namespace
}  // namespace infotrakon::control::testing
