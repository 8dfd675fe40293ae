// Every user table of every real Access file, read by our reader and by two independent
// readers (mdb-reader from npm, mdb-export from mdbtools): the same tables, rows and values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/text_form.h"
#include "jet/reader.h"
#include "support/test_support.h"

namespace infotrakon::jet {
namespace {

using nlohmann::ordered_json;

std::string CommandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    pclose(pipe);
    return output;
}

std::string SharedMdb(const std::string& name) {
    return testing::SharedPath("mdb/" + name).string();
}

// "1.2300" and "1.23" are the same number; so are "-0" and "0".
std::string CanonicalDecimal(std::string text) {
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

std::int64_t SecondsOf(const Date& date) { return date.dayNumber() * 86400 + date.secondsOfDay(); }

// Empty when the value agrees with mdb-reader's, else what differs.
std::string CompareWithMdbReader(const Variant& ours, const ordered_json& theirs) {
    const auto differ = [&](const std::string& shown) {
        return "ours " + shown + ", mdb-reader " + theirs.dump();
    };
    if (ours.isNull()) return theirs.is_null() ? "" : differ("Null");
    if (const bool* flag = ours.get<bool>())
        return theirs.is_boolean() && theirs.get<bool>() == *flag
                   ? ""
                   : differ(*flag ? "true" : "false");
    if (const std::int64_t* number = ours.get<std::int64_t>())
        return theirs.is_number_integer() && theirs.get<std::int64_t>() == *number
                   ? ""
                   : differ(std::to_string(*number));
    // Doubles must agree to the bit.
    if (const double* number = ours.get<double>())
        return theirs.is_number() && theirs.get<double>() == *number
                   ? ""
                   : differ(std::to_string(*number));
    // A Single comes out as the float's exact double in one reader and rounded in the other:
    // both are the same float.
    if (const Single* number = ours.get<Single>())
        return theirs.is_number() && static_cast<float>(theirs.get<double>()) == number->value
                   ? ""
                   : differ(std::to_string(number->value));
    if (const Currency* amount = ours.get<Currency>())
        return theirs.is_string() && theirs.get<std::string>() == CurrencyDigits(*amount, ".", true)
                   ? ""
                   : differ(CurrencyDigits(*amount, ".", true));
    if (const Decimal* number = ours.get<Decimal>())
        return theirs.is_string() &&
                       CanonicalDecimal(theirs.get<std::string>()) == CanonicalDecimal(number->text)
                   ? ""
                   : differ(number->text);
    if (const Date* date = ours.get<Date>()) {
        if (!theirs.is_string()) return differ(date->ToIso());
        const auto other = Date::FromIso(theirs.get<std::string>().substr(0, 19));
        // mdb-reader keeps milliseconds, we keep whole seconds. Before 30 December 1899 it
        // reads the OLE date as one signed number of days (-1.25 as 28 December, 18:00),
        // where OLE counts the fraction forwards from midnight (29 December, 06:00).
        std::int64_t expected = SecondsOf(*date);
        if (date->dayNumber() < 0) expected = date->dayNumber() * 86400 - date->secondsOfDay();
        return other && std::llabs(SecondsOf(*other) - expected) <= 1 ? "" : differ(date->ToIso());
    }
    if (const Guid* guid = ours.get<Guid>()) {
        // mdb-reader spells a GUID in lower case without braces.
        std::string bare = guid->text.substr(1, guid->text.size() - 2);
        for (char& c : bare) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return theirs.is_string() && theirs.get<std::string>() == bare ? "" : differ(guid->text);
    }
    if (const Binary* bytes = ours.get<Binary>()) {
        const bool same = theirs.is_object() && theirs.contains("data") &&
                          theirs["data"].get<std::vector<std::uint8_t>>() == bytes->bytes;
        return same ? "" : differ(std::to_string(bytes->bytes.size()) + " bytes");
    }
    if (const std::string* text = ours.get<std::string>()) {
        if (!theirs.is_string()) return differ('"' + *text + '"');
        // A Jet 3 byte that its code page leaves undefined is its control character here, as
        // the platform converts it, and U+FFFD there.
        std::string ourText = *text;
        for (std::size_t at = 0; (at = ourText.find('\xC2', at)) != std::string::npos;) {
            const auto next =
                at + 1 < ourText.size() ? static_cast<unsigned char>(ourText[at + 1]) : 0;
            if (next >= 0x80 && next <= 0x9F) ourText.replace(at, 2, "\xEF\xBF\xBD");
            ++at;
        }
        return theirs.get<std::string>() == ourText ? "" : differ('"' + *text + '"');
    }
    return differ(ours.kindName());
}

// The Access files of ../shared/mdb. Listed here rather than read
// from the folder, so that listing the tests reads no disk; EveryFileOfTheFolderIsListed
// keeps the list whole.
const std::string kReadableFiles[] = {
    "jackcess_adox_jet4.mdb",
    "jackcess_bigIndexTestV2003.mdb",
    "jackcess_compIndexTestV1997.mdb",
    "jackcess_delColTestV2000.mdb",
    "jackcess_delTestV1997.mdb",
    "jackcess_fixedNumericTestV2000.mdb",
    "jackcess_fixedTextTestV2000.mdb",
    "jackcess_indexCursorTestV2000.mdb",
    "jackcess_overflowTestV1997.mdb",
    "jackcess_queryTestV1997.mdb",
    "jackcess_test2V1997.mdb",
    "jackcess_test2V2000.mdb",
    "jackcess_test2V2003.mdb",
    "jackcess_testIndexCodesV1997.mdb",
    "jackcess_testIndexPropertiesV2003.mdb",
    "jackcess_testPromotionV2000.mdb",
    "jackcess_testV1997.mdb",
    "jackcess_testV2000.mdb",
    "mdbreader_creationdate_V2000.mdb",
    "mdbreader_V2000_with-password.mdb",
    "mdbreader_V2003_with-password.mdb",
};

TEST(SharedMdbFolder, EveryFileOfTheFolderIsListed) {
    INFOTRAKON_SKIP_WITHOUT_SHARED("mdb");
    std::vector<std::string> listed(std::begin(kReadableFiles), std::end(kReadableFiles));
    std::vector<std::string> present;
    for (const auto& entry : std::filesystem::directory_iterator(SharedMdb("")))
        if (entry.path().extension() == ".mdb") present.push_back(entry.path().filename());
    std::sort(listed.begin(), listed.end());
    std::sort(present.begin(), present.end());
    EXPECT_EQ(present, listed);
}

class ReaderOracleTest : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override { INFOTRAKON_SKIP_WITHOUT_SHARED("mdb"); }
};

// The two files with a database password hold it in mdb-reader's own tests: "password".
std::string PasswordOf(const std::string& name) {
    return name.find("with-password") != std::string::npos ? "password" : "";
}

TEST_P(ReaderOracleTest, EveryTableAgreesWithMdbReader) {
    const std::string path = SharedMdb(GetParam());
    const ordered_json oracle = ordered_json::parse(CommandOutput(
        "node " INFOTRAKON_SOURCE_DIR "/tests/tools/mdb_reader_dump.mjs '" + path + "'"));
    const Database database(OpenLocalFile(path), PasswordOf(GetParam()));

    // The two readers list the catalog in different orders; the tables are the same.
    std::vector<std::string> oracleTables;
    for (const auto& [name, table] : oracle.items()) oracleTables.push_back(name);
    std::vector<std::string> ourTables = database.TableNames();
    std::sort(oracleTables.begin(), oracleTables.end());
    std::sort(ourTables.begin(), ourTables.end());
    ASSERT_EQ(ourTables, oracleTables);

    for (const auto& [name, table] : oracle.items()) {
        SCOPED_TRACE("table " + name);
        const std::optional<TableInfo> info = database.OpenTable(name);
        ASSERT_TRUE(info);
        TableCursor cursor(database, *info);
        std::size_t row = 0;
        const ordered_json& rows = table["rows"];
        while (cursor.Next()) {
            ASSERT_LT(row, rows.size()) << "more rows than mdb-reader";
            for (std::size_t column = 0; column < info->columns.size(); ++column) {
                const std::string& columnName = info->columns[column].name;
                ASSERT_TRUE(rows[row].contains(columnName)) << columnName;
                const std::string difference =
                    CompareWithMdbReader(cursor.Value(column), rows[row][columnName]);
                EXPECT_EQ(difference, "") << "row " << row << ", column " << columnName;
            }
            ++row;
        }
        EXPECT_EQ(row, table["rowCount"].get<std::size_t>());
    }
}

// mdb-export formats every value as text; ours, formatted the same way, must match line by
// line. Only the columns whose text both sides spell alike are compared: numbers, texts,
// booleans, dates.
std::string AsExportText(const Variant& value) {
    if (value.isNull()) return "";
    if (const bool* flag = value.get<bool>()) return *flag ? "1" : "0";
    if (const std::int64_t* number = value.get<std::int64_t>()) return std::to_string(*number);
    if (const Currency* amount = value.get<Currency>()) return CurrencyDigits(*amount, ".", true);
    // mdb-export shows dates before 1900 as "1900-01-00".
    if (const Date* date = value.get<Date>())
        return date->year() >= 1900 ? date->ToIso().substr(0, 10) : "<skip>";
    if (const std::string* text = value.get<std::string>()) {
        // As mdb-export -e escapes them; a Jet 3 byte its code page leaves undefined, a
        // control character here, is "?" there.
        std::string escaped;
        for (std::size_t at = 0; at < text->size(); ++at) {
            const char c = (*text)[at];
            const auto next =
                at + 1 < text->size() ? static_cast<unsigned char>((*text)[at + 1]) : 0;
            if (c == '\xC2' && next >= 0x80 && next <= 0x9F) {
                escaped += '?';
                ++at;
                continue;
            }
            switch (c) {
                case '\\':
                    escaped += "\\\\";
                    break;
                case '\r':
                    escaped += "\\r";
                    break;
                case '\n':
                    escaped += "\\n";
                    break;
                case '\t':
                    escaped += "\\t";
                    break;
                default:
                    escaped += c;
            }
        }
        return escaped;
    }
    return "<skip>";
}

TEST_P(ReaderOracleTest, TextAndWholeNumberColumnsAgreeWithMdbExport) {
    const std::string path = SharedMdb(GetParam());
    const Database database(OpenLocalFile(path), PasswordOf(GetParam()));
    for (const std::string& name : database.TableNames()) {
        SCOPED_TRACE("table " + name);
        const std::optional<TableInfo> info = database.OpenTable(name);
        ASSERT_TRUE(info);
        // Tab-separated, no quotes, tabs and newlines in texts escaped.
        const std::string exported =
            CommandOutput("mdb-export -H -Q -e -d '\t' -b strip -D '%Y-%m-%d' -T '%Y-%m-%d' '" +
                          path + "' '" + name + "' 2>/dev/null");
        std::vector<std::string> lines;
        std::string line;
        for (const char c : exported) {
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += c;
            }
        }
        TableCursor cursor(database, *info);
        std::size_t row = 0;
        while (cursor.Next()) {
            ASSERT_LT(row, lines.size());
            std::vector<std::string> fields;
            std::string field;
            std::istringstream split(lines[row]);
            while (std::getline(split, field, '\t')) fields.push_back(field);
            if (!lines[row].empty() && lines[row].back() == '\t') fields.emplace_back();
            ASSERT_EQ(fields.size(), info->columns.size()) << "row " << row;
            {
                for (std::size_t column = 0; column < info->columns.size(); ++column) {
                    const std::string ours = AsExportText(cursor.Value(column));
                    if (ours == "<skip>") continue;
                    EXPECT_EQ(ours, fields[column])
                        << "row " << row << ", column " << info->columns[column].name;
                }
            }
            ++row;
        }
        EXPECT_EQ(row, lines.size());
    }
}

INSTANTIATE_TEST_SUITE_P(SharedFiles, ReaderOracleTest, ::testing::ValuesIn(kReadableFiles),
                         [](const auto& parameter) {
                             std::string name =
                                 parameter.param.substr(0, parameter.param.size() - 4);
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST(ReaderRefusals, AWrongOrMissingPasswordIsRefusedWithoutNamingIt) {
    INFOTRAKON_SKIP_WITHOUT_SHARED("mdb");
    for (const char* name :
         {"mdbreader_V2000_with-password.mdb", "mdbreader_V2003_with-password.mdb"}) {
        // Jet compares the whole password, letter case included.
        for (const char* password : {"", "Password", "passwor", "password ", "tajne-heslo-42"}) {
            SCOPED_TRACE(std::string(name) + " with \"" + password + "\"");
            std::string message;
            EXPECT_EQ(
                testing::ErrorNumberOf(
                    [&] { Database database(OpenLocalFile(SharedMdb(name)), password); }, &message),
                error_number::kInvalidPassword);
            EXPECT_NE(message.find("Not a valid password."), std::string::npos) << message;
            EXPECT_NE(message.find(name), std::string::npos) << message;
            EXPECT_EQ(message.find("tajne-heslo-42"), std::string::npos) << message;
        }
    }
}

}  // namespace
}  // namespace infotrakon::jet
