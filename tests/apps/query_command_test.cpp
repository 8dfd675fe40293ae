// The diagnostic query command, as a support person runs it.
#include "query_command.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "program_fixture.h"
#include "support/test_support.h"

namespace infotrakon::app {
namespace {

TEST(QueryJson, WritesEveryKindExactly) {
    const std::pair<Variant, const char*> cases[] = {
        {Null{}, "null"},
        {true, "true"},
        {std::int64_t{-2147483648LL}, "-2147483648"},
        {0.1, "0.1"},
        {444.555, "444.555"},
        {1e300, "1e+300"},
        {Currency{9223372036854775807LL}, "922337203685477.5807"},
        {Currency{-9223372036854775807LL - 1}, "-922337203685477.5808"},
        {Currency{35000}, "3.5"},
        {Currency{-5}, "-0.0005"},
        {Currency{0}, "0"},
        {Decimal{"-12345678901234567890.1234"}, "-12345678901234567890.1234"},
        {Date::FromCivil(2026, 1, 1), "\"2026-01-01T00:00:00\""},
        {Date::FromCivil(1899, 12, 29, 2, 24, 0), "\"1899-12-29T02:24:00\""},
        {Guid{"{D018A757-5DA6-4189-9E30-485031D4C252}"},
         "\"{D018A757-5DA6-4189-9E30-485031D4C252}\""},
        {Binary{{0x00, 0xAB, 0x10}}, "\"0x00ab10\""},
        {"Pneuservis\r\nzimní \"pneu\"", "\"Pneuservis\\r\\nzimní \\\"pneu\\\"\""},
        {std::string("bad \xFF byte"), "\"bad \xEF\xBF\xBD byte\""},
    };
    for (const auto& [value, token] : cases) EXPECT_EQ(JsonValue(value), token);
}

TEST_F(ProgramTest, PrintsTheFilteredRecordsAsJson) {
    const std::string mdb = MakeAgenda(R"({"tables": [{"name": "carservis",
        "columns": [{"name": "datum", "type": "datetime"}, {"name": "car", "type": "boolean"},
                    {"name": "castka", "type": "currency"}, {"name": "text1", "type": "memo"}],
        "rows": [["2025-12-31T23:59:59", true, "922337203685477.5807", "loni"],
                 ["2026-01-01", true, "0.0001", "Výměna\r\noleje"],
                 ["2026-03-02T10:30:00", false, 12.5, null],
                 {"car": true}]}]})");
    const Output output = Run("query --json --db " + mdb +
                              " --source 'select * from CarServis' --filter 'datum >= #1/1/2026#'");
    ASSERT_EQ(output.status, 0) << output.err;
    EXPECT_EQ(output.err, "");
    EXPECT_EQ(output.out,
              "{\"recordCount\": 2, \"fields\": [\"datum\", \"car\", \"castka\", \"text1\"], "
              "\"rows\": [[\"2026-01-01T00:00:00\", true, 0.0001, \"Výměna\\r\\noleje\"], "
              "[\"2026-03-02T10:30:00\", false, 12.5, null]]}\n");
    const Output all = Run("query --json --db " + mdb + " --source 'SELECT * FROM carservis'");
    const auto parsed = nlohmann::json::parse(all.out);
    EXPECT_EQ(parsed["recordCount"], 4);
    EXPECT_NE(all.out.find("[\"2025-12-31T23:59:59\", true, 922337203685477.5807, \"loni\"]"),
              std::string::npos)
        << all.out;

    const Output text =
        Run("query --db " + mdb + " --source 'SELECT * FROM carservis' --filter car=false");
    EXPECT_EQ(text.out,
              "1 record\ndatum\tcar\tcastka\ttext1\n2026-03-02T10:30:00\tfalse\t12.5\tNull\n");
}

TEST_F(ProgramTest, ReadsDataLinksAndRealAccessFiles) {
    INFOTRAKON_SKIP_WITHOUT_SHARED("mdb");
    const std::string mdb = testing::SharedPath("mdb/jackcess_fixedNumericTestV2000.mdb").string();
    std::ofstream(directory_ / "agenda.udl", std::ios::binary)
        << "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
           "Provider=Microsoft.Jet.OLEDB.4.0;Data Source="
        << mdb << "\r\n";
    const Output output = Run("query --json --db " + (directory_ / "agenda.udl").string() +
                              " --source 'SELECT * FROM test'");
    ASSERT_EQ(output.status, 0) << output.err;
    EXPECT_EQ(output.out,
              "{\"recordCount\": 1, \"fields\": [\"col1\", \"col2\", \"col3\", \"col4\", \"col5\", "
              "\"col6\", \"col7\"], \"rows\": [[\"some data\", 1, 0, 0, 4, -1, 1]]}\n");
}

TEST_F(ProgramTest, ErrorsGoToStandardErrorWithTheirNumber) {
    const std::string mdb = MakeAgenda(
        R"({"tables": [{"name": "cars", "columns": [{"name": "id", "type": "long"}], "rows": [[1]]}]})");
    std::ofstream(directory_ / "notes.txt") << "x";
    const struct {
        std::string arguments;
        int status;
        const char* message;
    } cases[] = {
        {"query --db " + (directory_ / "none.mdb").string() + " --source 'SELECT * FROM cars'", 1,
         "error 3024: Could not find file"},
        {"query --db " + (directory_ / "notes.txt").string() + " --source 'SELECT * FROM cars'", 1,
         "neither an Access file"},
        {"query --db " + mdb + " --source 'SELECT * FROM vozy'", 1, "error 3078"},
        {"query --db " + mdb + " --source 'SELECT id FROM cars'", 1, "error 3001"},
        {"query --db " + mdb + " --source 'SELECT * FROM cars' --filter 'id=='", 1, "error 3001"},
        {"query --db " + mdb, 2, "--source"},
        {"frobnicate", 2, "unknown command"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.arguments);
        const Output output = Run(test.arguments);
        EXPECT_EQ(output.status, test.status);
        EXPECT_EQ(output.out, "");
        EXPECT_NE(output.err.find(test.message), std::string::npos) << output.err;
    }
}

TEST_F(ProgramTest, DemoPrintsThePanelOnItsAgenda) {
    const Output text = Run("demo print --today 2026-12-06 --view 4 --period 'Tento měsíc'");
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Autodoprava Novák s.r.o.\nverze 1.0.1\n"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("Náklady na servis vozidel od začátku roku   17 300,50 Kč"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("Termíny, Tento měsíc\nDatum       Popis\n6.12.2026   Tatra 815 1M2 "
                            "3456 - konec STK\n"),
              std::string::npos)
        << text.out;

    const Output json = Run("demo print --json --today 2026-12-06 --size 6000x4000 --refresh");
    ASSERT_EQ(json.status, 0) << json.err;
    const auto model = nlohmann::json::parse(json.out);
    EXPECT_TRUE(model["error"].is_null());
    EXPECT_EQ(model["elements"].size(), 31u);
    EXPECT_EQ(model["elements"]["Command2"]["left"], 4775);
    EXPECT_EQ(model["elements"]["Combo2"]["listIndex"], 0);
    EXPECT_EQ(model["elements"]["Combo2"]["items"].size(), 6u);
    EXPECT_EQ(model["elements"]["Option1"]["value"], true);
    EXPECT_EQ(model["elements"]["DTPicker1"]["value"], "2026-12-06");
    EXPECT_EQ(model["elements"]["Label3"]["visible"], false);
    EXPECT_EQ(model["elements"]["Label3"]["caption"], "C:\\Trakon\\Data\\agenda.mdb");
    EXPECT_EQ(model["elements"]["ListView1"]["columns"][3]["width"], 1660);
    EXPECT_EQ(model["elements"]["ListView1"]["rows"][0]["subItems"][2], "Oprava brzd Tatra 815");
    EXPECT_EQ(model["elements"]["Adodc1"]["recordSource"], "SELECT * FROM carservis");
}

TEST_F(ProgramTest, PrintReportsTheErrorThatStoppedThePanel) {
    const std::string mdb = MakeAgenda(
        R"({"tables": [{"name": "firma", "columns": [{"name": "nazev", "type": "text"}], "rows": [["X"]]}]})");
    std::ofstream(directory_ / "host.reg")
        << "Windows Registry Editor Version 5.00\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velmora\\Trakon\\ProgramSeting]\r\n"
           "\"LastFullFileNameOpen\"=\""
        << mdb << "\"\r\n";
    const Output output = Run("print --json --settings " + (directory_ / "host.reg").string());
    EXPECT_EQ(output.status, 1);
    EXPECT_NE(output.err.find("error 3078"), std::string::npos) << output.err;
    const auto model = nlohmann::json::parse(output.out);
    EXPECT_EQ(model["error"]["number"], 3078);
    EXPECT_EQ(model["elements"]["Label3"]["caption"], mdb);
}

TEST_F(ProgramTest, ScreenshotWritesAPicture) {
    const fs::path png = directory_ / "panel.png";
    const Output output = Run("demo screenshot " + png.string() + " --today 2026-12-06");
    ASSERT_EQ(output.status, 0) << output.err;
    std::ifstream in(png, std::ios::binary);
    std::string header(8, '\0');
    in.read(header.data(), 8);
    EXPECT_EQ(header, "\x89PNG\r\n\x1a\n");
}

}  // namespace
}  // namespace infotrakon::app
