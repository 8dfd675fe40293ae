#include "agenda_db/connection_string.h"

#include "core/case_fold.h"
#include "core/error.h"
#include "core/text_encoding.h"

namespace infotrakon::agenda_db {
namespace {

constexpr int kMalformedConnectionString = 3709;

// A line of a data link may end in the carriage return of its file's line break.
constexpr std::string_view kTrailingBlanks = " \t\r";

// The message names the key, never the string: a data link may hold a password.
[[noreturn]] void Malformed(const std::string& why) {
    throw Error(kMalformedConnectionString, "The connection string is malformed: " + why);
}

}  // namespace

bool TakeToSingle(std::string_view text, std::size_t& at, char end, std::string& out, char stop) {
    while (at < text.size()) {
        if (text[at] == end) {
            if (at + 1 < text.size() && text[at + 1] == end) {
                out += end;
                at += 2;
                continue;
            }
            ++at;
            return true;
        }
        if (stop != '\0' && text[at] == stop) return false;
        out += text[at++];
    }
    return false;
}

std::vector<ConnectionProperty> ParseConnectionString(std::string_view text) {
    std::vector<ConnectionProperty> properties;
    std::size_t i = 0;
    while (i < text.size()) {
        // The key runs to the first single "="; "==" is an escaped "=".
        std::string key;
        const bool hasValue = TakeToSingle(text, i, '=', key, ';');
        const std::string_view trimmedKey = Trim(key, kBlanks, kTrailingBlanks);
        if (!hasValue) {
            if (!trimmedKey.empty()) Malformed("\"" + std::string(trimmedKey) + "\" has no value");
            ++i;
            continue;
        }
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        std::string value;
        if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
            const char quote = text[i++];
            if (!TakeToSingle(text, i, quote, value))
                Malformed("the quoted value of \"" + std::string(trimmedKey) + "\" is not closed");
            while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
            if (i < text.size() && text[i] != ';')
                Malformed("text follows the quoted value of \"" + std::string(trimmedKey) + "\"");
        } else {
            const std::size_t end = text.find(';', i);
            value = Trim(text.substr(i, end == std::string_view::npos ? text.npos : end - i),
                         kBlanks, kTrailingBlanks);
            i = end == std::string_view::npos ? text.size() : end;
        }
        ++i;  // the ";"
        if (trimmedKey.empty()) Malformed("a value has no key");
        properties.push_back({std::string(trimmedKey), std::move(value)});
    }
    return properties;
}

std::optional<std::string> FindProperty(const std::vector<ConnectionProperty>& properties,
                                        std::string_view key) {
    std::optional<std::string> found;
    for (const ConnectionProperty& property : properties)
        if (EqualsIgnoringCase(property.key, key)) found = property.value;
    return found;
}

std::string DataLinkInitString(const std::string& bytes, const std::string& fileName,
                               const char* codePage) {
    const std::string text = TextAfterByteOrderMark(bytes).value_or(
        IsWellFormedUtf8(bytes) ? bytes : AnsiToUtf8(bytes, codePage));
    bool inSection = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line =
            Trim(std::string_view(text).substr(start, end - start), kBlanks, kTrailingBlanks);
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            inSection = EqualsIgnoringCase(line, "[oledb]");
            continue;
        }
        if (inSection && !line.empty() && line.front() != ';') return std::string(line);
    }
    throw Error(error_number::kCannotOpenDatabase,
                "The data link '" + fileName +
                    "' holds no connection string (an [oledb] section with an initialisation "
                    "line)");
}

}  // namespace infotrakon::agenda_db
