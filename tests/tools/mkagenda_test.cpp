#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "core/error.h"
#include "core/text_encoding.h"
#include "jet/reader.h"
#include "support/test_support.h"
#include "tools/mkagenda/description.h"

namespace infotrakon::mkagenda {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct Output {
    int status;
    std::string text;
};

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Output RunCommand(const std::string& command) {
    Output output{-1, ""};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return output;
    std::array<char, 65536> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.text.append(buffer.data(), n);
    output.status = pclose(pipe);
    return output;
}

class MkagendaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        directory_ =
            fs::temp_directory_path() / ("infotrakon-mkagenda-" + std::to_string(::getpid()));
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }
    std::string Path(const std::string& name) const { return (directory_ / name).string(); }
    std::string Write(const std::string& name, const std::string& contents) const {
        std::ofstream(Path(name), std::ios::binary) << contents;
        return Path(name);
    }
    // Writes the description into a file with mkagenda; gives its status and messages.
    Output Make(const json& description, const std::string& name = "out.mdb",
                const std::string& options = "") const {
        const std::string from = Write("description.json", description.dump());
        return RunCommand(std::string(MKAGENDA_PATH) + " --force --from " + from + " " +
                          Path(name) + " " + options);
    }
    json ReadWithMdbReader(const std::string& file) const {
        const Output output =
            RunCommand("node " INFOTRAKON_SOURCE_DIR "/tests/tools/mdb_reader_dump.mjs " + file);
        EXPECT_EQ(output.status, 0) << output.text;
        return output.status == 0 ? json::parse(output.text) : json();
    }

    fs::path directory_;
};

const json kAllTypes = json::parse(R"({"tables": [
  {"name": "typy",
   "columns": [{"name": "ano", "type": "boolean"}, {"name": "b", "type": "byte"},
               {"name": "i", "type": "integer"}, {"name": "l", "type": "long"},
               {"name": "s", "type": "single"}, {"name": "d", "type": "double"},
               {"name": "c", "type": "currency"}, {"name": "t", "type": "datetime"},
               {"name": "txt", "type": "text", "size": 20}, {"name": "m", "type": "memo"}],
   "rows": [[true, 255, -32768, -2147483648, 1.5, 3.25, "-922337203685477.5808", "1899-12-29",
             "Žluťoučký kůň", "řádek 1\r\nřádek 2"],
            [false, 0, 32767, 2147483647, -0.5, 1e-300, 1234.5, "9999-12-31T23:59:59", "", ""],
            {"ano": true, "l": 7, "t": "0100-01-01"}]},
  {"name": "cars",
   "columns": [{"name": "id", "type": "long"}, {"name": "name", "type": "text", "size": 50},
               {"name": "stk", "type": "datetime"}, {"name": "vyrazeno", "type": "boolean"}],
   "rows": [[1, "Tatra 815", "2026-03-11", false], {"id": 2, "name": null, "stk": "2026-03-10T15:30:00"}]}
]})");

TEST_F(MkagendaTest, EveryTypeReadsBackThroughMdbtools) {
    const Output made = Make(kAllTypes);
    ASSERT_EQ(made.status, 0) << made.text;
    EXPECT_EQ(RunCommand("mdb-tables -1 " + Path("out.mdb")).text, "typy\ncars\n");
    const Output cars = RunCommand("mdb-export " + Path("out.mdb") + " cars");
    EXPECT_EQ(cars.text,
              "id,name,stk,vyrazeno\n1,\"Tatra 815\",\"03/11/26 00:00:00\",0\n"
              "2,,\"03/10/26 15:30:00\",0\n");
    const Output typy =
        RunCommand("mdb-export -D '%Y-%m-%d %H:%M:%S' " + Path("out.mdb") + " typy");
    // libmdb prints dates outside about 1900..4637 as 01/00/00; the extremes are checked
    // through mdb-reader below.
    for (const char* piece : {"1,255,-32768,-2147483648,1.5,3.25,-922337203685477.5808,",
                              "\"Žluťoučký kůň\",\"řádek 1\r\nřádek 2\"",
                              "0,0,32767,2147483647,-0.5,1e-300,1234.5000,", "1,,,7,,,,"})
        EXPECT_NE(typy.text.find(piece), std::string::npos) << piece << "\n" << typy.text;
    EXPECT_EQ(RunCommand("mdb-count " + Path("out.mdb") + " typy").text, "3\n");
}

TEST_F(MkagendaTest, EveryTypeReadsBackThroughMdbReader) {
    ASSERT_EQ(Make(kAllTypes).status, 0);
    const json tables = ReadWithMdbReader(Path("out.mdb"));
    ASSERT_TRUE(tables.contains("typy"));
    const json& first = tables["typy"]["rows"][0];
    EXPECT_EQ(first["ano"], true);
    EXPECT_EQ(first["b"], 255);
    EXPECT_EQ(first["l"], -2147483648LL);
    EXPECT_EQ(first["c"], "-922337203685477.5808");
    EXPECT_EQ(first["txt"], "Žluťoučký kůň");
    EXPECT_EQ(first["m"], "řádek 1\r\nřádek 2");
    // A day before the epoch; mdb-reader reads a time of day there as plain arithmetic
    // (-1.25 as 28 December 18:00) where the OLE rule gives 29 December 06:00, so the
    // oracle is asked only for the day.
    EXPECT_EQ(first["t"], "1899-12-29T00:00:00.000Z");
    EXPECT_EQ(tables["typy"]["rows"][1]["t"], "9999-12-31T23:59:59.000Z");
    EXPECT_EQ(tables["typy"]["rows"][1]["txt"], "");
    const json& third = tables["typy"]["rows"][2];
    EXPECT_TRUE(third["b"].is_null());
    EXPECT_TRUE(third["txt"].is_null());
    EXPECT_EQ(third["l"], 7);
    EXPECT_EQ(tables["cars"]["rowCount"], 2);
    EXPECT_TRUE(tables["cars"]["rows"][1]["name"].is_null());
    EXPECT_EQ(tables["cars"]["rows"][1]["vyrazeno"], false);
}

// Every value of every table, as our reader decodes it, in one text.
std::string EverythingOurReaderReads(const std::string& path, const std::string& password) {
    const jet::Database database(OpenLocalFile(path), password);
    std::string all;
    for (const std::string& name : database.TableNames()) {
        const auto table = database.OpenTable(name);
        jet::TableCursor cursor(database, *table);
        all += name + ":\n";
        while (cursor.Next()) {
            for (std::size_t column = 0; column < table->columns.size(); ++column)
                all += ::testing::PrintToString(cursor.Value(column)) + "|";
            all += "\n";
        }
    }
    return all;
}

// Encrypted as Access's "Encrypt Database" leaves a file, protected by a password, or both:
// mdbtools, mdb-reader and our reader (given the password) all read what the plain file holds.
TEST_F(MkagendaTest, EncryptedAndProtectedFilesReadAsThePlainOne) {
    ASSERT_EQ(Make(kAllTypes, "plain.mdb").status, 0);
    const std::string plainExport = RunCommand("mdb-export " + Path("plain.mdb") + " typy").text;
    const json plainTables = ReadWithMdbReader(Path("plain.mdb"));
    const std::string plainOurs = EverythingOurReaderReads(Path("plain.mdb"), "");
    const struct {
        const char* options;
        const char* password;
    } cases[] = {{"--encrypt", ""},
                 {"--password 'Tajné heslo'", "Tajné heslo"},
                 {"--encrypt --password x", "x"}};
    for (const auto& [options, password] : cases) {
        SCOPED_TRACE(options);
        const Output made = Make(kAllTypes, "other.mdb", options);
        ASSERT_EQ(made.status, 0) << made.text;
        EXPECT_NE(ReadBytes(Path("other.mdb")), ReadBytes(Path("plain.mdb")));
        EXPECT_EQ(RunCommand("mdb-export " + Path("other.mdb") + " typy").text, plainExport);
        EXPECT_EQ(ReadWithMdbReader(Path("other.mdb")), plainTables);
        EXPECT_EQ(EverythingOurReaderReads(Path("other.mdb"), password), plainOurs);
        if (*password != '\0') {
            EXPECT_EQ(testing::ErrorNumberOf(
                          [&] { EverythingOurReaderReads(Path("other.mdb"), "wrong"); }),
                      error_number::kInvalidPassword);
        }
    }
}

TEST_F(MkagendaTest, LongCzechMemoRoundTrips) {
    std::string memo;
    while (memo.size() < 20000) memo += "Příliš žluťoučký kůň úpěl ďábelské ódy. ";
    std::u16string units = Utf8ToUtf16(memo);
    units.resize(10000);
    memo = Utf16ToUtf8(units);
    json description = {{"tables",
                         {{{"name", "t"},
                           {"columns", {{{"name", "m"}, {"type", "memo"}}}},
                           {"rows", {{memo}, {"short"}, {nullptr}}}}}}};
    ASSERT_EQ(Make(description).status, 0);
    const json tables = ReadWithMdbReader(Path("out.mdb"));
    ASSERT_EQ(tables["t"]["rows"].size(), 3u);
    EXPECT_EQ(tables["t"]["rows"][0]["m"], memo);
    EXPECT_EQ(tables["t"]["rows"][1]["m"], "short");
    const Output exported = RunCommand("mdb-export " + Path("out.mdb") + " t");
    EXPECT_NE(exported.text.find(memo), std::string::npos);
}

TEST_F(MkagendaTest, ManyRowsSpanManyPages) {
    const Output made = RunCommand(std::string(MKAGENDA_PATH) +
                                   " --rows 100000 --today 2026-12-06 " + Path("big.mdb"));
    ASSERT_EQ(made.status, 0) << made.text;
    EXPECT_EQ(RunCommand("mdb-count " + Path("big.mdb") + " carservis").text, "100000\n");
    const Output exported = RunCommand("mdb-export " + Path("big.mdb") + " carservis | tail -1");
    EXPECT_EQ(exported.text.rfind("100000,", 0), 0u) << exported.text;
}

struct BadDescription {
    const char* label;
    const char* json;
    const char* message;
};

class BadDescriptionTest : public ::testing::TestWithParam<BadDescription> {};

TEST_P(BadDescriptionTest, IsRefusedWithWhere) {
    JetWriter writer;
    try {
        LoadDescription(GetParam().json, writer);
        FAIL() << "accepted";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadDescriptionTest,
    ::testing::Values(
        BadDescription{
            "text too long",
            R"({"tables":[{"name":"cars","columns":[{"name":"spz","type":"text","size":3}],"rows":[["ABCD"]]}]})",
            "Table cars, row 1, column spz"},
        BadDescription{
            "boolean null",
            R"({"tables":[{"name":"t","columns":[{"name":"a","type":"boolean"}],"rows":[[null]]}]})",
            "boolean cannot be null"},
        BadDescription{
            "byte range",
            R"({"tables":[{"name":"t","columns":[{"name":"b","type":"byte"}],"rows":[[256]]}]})",
            "outside 0..255"},
        BadDescription{
            "bad date",
            R"({"tables":[{"name":"t","columns":[{"name":"d","type":"datetime"}],"rows":[["2026-02-30"]]}]})",
            "Table t, row 1, column d"},
        BadDescription{
            "early date",
            R"({"tables":[{"name":"t","columns":[{"name":"d","type":"datetime"}],"rows":[["0099-12-31"]]}]})",
            "no date from 100-01-01"},
        BadDescription{
            "currency decimals",
            R"({"tables":[{"name":"t","columns":[{"name":"c","type":"currency"}],"rows":[["1.23456"]]}]})",
            "at most 4 decimals"},
        BadDescription{"unknown type",
                       R"({"tables":[{"name":"t","columns":[{"name":"c","type":"blob"}]}]})",
                       "unknown type"},
        BadDescription{
            "wrong count",
            R"({"tables":[{"name":"t","columns":[{"name":"c","type":"long"}],"rows":[[1,2]]}]})",
            "2 values for 1 columns"},
        BadDescription{
            "unknown column",
            R"({"tables":[{"name":"t","columns":[{"name":"c","type":"long"}],"rows":[{"x":1}]}]})",
            "no column \"x\""},
        BadDescription{"not json", "{", "no valid JSON"},
        // Found by the fuzzer: a number beyond double's range escaped as a library exception.
        BadDescription{"number overflow", R"({"tables":[{"name":"t","columns":[]}],"x":1e999})",
                       "no valid JSON"}));

TEST_F(MkagendaTest, KeepsAnExistingFileWithoutForce) {
    const std::string existing = Write("keep.mdb", "precious");
    const Output output = RunCommand(std::string(MKAGENDA_PATH) + " --demo " + existing);
    EXPECT_NE(output.status, 0);
    EXPECT_NE(output.text.find("--force"), std::string::npos);
    std::ifstream file(existing);
    std::string contents;
    std::getline(file, contents);
    EXPECT_EQ(contents, "precious");
}

}  // namespace
}  // namespace infotrakon::mkagenda
