#include "agenda_db/record_source.h"

#include "core/case_fold.h"
#include "core/error.h"

namespace infotrakon::agenda_db {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

[[noreturn]] void Unsupported(std::string_view source, const std::string& why) {
    throw Error(error_number::kUnsupportedRecordSource,
                "The record source \"" + std::string(source) +
                    "\" is not supported (only SELECT * FROM a table is): " + why);
}

}  // namespace

std::string RecordSourceTable(std::string_view source) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < source.size() && IsBlank(source[i])) ++i;
    };
    auto keyword = [&](std::string_view word, bool blankAfter) {
        skipBlanks();
        if (source.size() - i < word.size() ||
            !EqualsIgnoringCase(source.substr(i, word.size()), word))
            Unsupported(source, "expected " + std::string(word));
        i += word.size();
        if (blankAfter && (i >= source.size() || !IsBlank(source[i])))
            Unsupported(source, "expected a blank after " + std::string(word));
    };
    keyword("SELECT", true);
    keyword("*", false);
    skipBlanks();
    keyword("FROM", true);
    skipBlanks();
    std::string table;
    if (i < source.size() && source[i] == '[') {
        const std::size_t close = source.find(']', i + 1);
        if (close == std::string_view::npos)
            Unsupported(source, "the [ of the table name is not closed");
        table = source.substr(i + 1, close - i - 1);
        i = close + 1;
    } else {
        const std::size_t start = i;
        while (i < source.size() && !IsBlank(source[i]) && source[i] != ';') {
            const char c = source[i];
            if (c == '[' || c == ']' || c == ',' || c == '(' || c == ')' || c == '\'' || c == '"' ||
                c == '*' || c == '=')
                Unsupported(source, "the table name holds '" + std::string(1, c) + "'");
            ++i;
        }
        table = source.substr(start, i - start);
    }
    skipBlanks();
    if (i < source.size() && source[i] == ';') ++i;
    skipBlanks();
    if (table.empty()) Unsupported(source, "no table is named");
    if (i != source.size()) Unsupported(source, "text follows the table name");
    return table;
}

}  // namespace infotrakon::agenda_db
