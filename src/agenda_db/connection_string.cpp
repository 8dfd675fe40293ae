#include "agenda_db/connection_string.h"

#include "core/case_fold.h"
#include "core/error.h"
#include "core/text_encoding.h"

namespace infotrakon::agenda_db {
namespace {

constexpr int kMalformedConnectionString = 3709;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The message names the key, never the string: a data link may hold a password.
[[noreturn]] void Malformed(const std::string& why) {
    throw Error(kMalformedConnectionString, "The connection string is malformed: " + why);
}

bool ValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80         ? 1
                                   : (c >> 5) == 6  ? 2
                                   : (c >> 4) == 14 ? 3
                                   : (c >> 3) == 30 ? 4
                                                    : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

}  // namespace

std::vector<ConnectionProperty> ParseConnectionString(std::string_view text) {
    std::vector<ConnectionProperty> properties;
    std::size_t i = 0;
    while (i < text.size()) {
        // The key runs to the first single "="; "==" is an escaped "=".
        std::string key;
        while (i < text.size()) {
            if (text[i] == '=') {
                if (i + 1 < text.size() && text[i + 1] == '=') {
                    key += '=';
                    i += 2;
                    continue;
                }
                break;
            }
            if (text[i] == ';') break;
            key += text[i++];
        }
        const std::string_view trimmedKey = Trim(key);
        if (i >= text.size() || text[i] == ';') {
            if (!trimmedKey.empty()) Malformed("\"" + std::string(trimmedKey) + "\" has no value");
            ++i;
            continue;
        }
        ++i;  // the "="
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        std::string value;
        if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
            const char quote = text[i++];
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == quote) {
                    if (i + 1 < text.size() && text[i + 1] == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text[i++];
            }
            if (!closed)
                Malformed("the quoted value of \"" + std::string(trimmedKey) + "\" is not closed");
            while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
            if (i < text.size() && text[i] != ';')
                Malformed("text follows the quoted value of \"" + std::string(trimmedKey) + "\"");
        } else {
            const std::size_t end = text.find(';', i);
            value = Trim(text.substr(i, end == std::string_view::npos ? text.npos : end - i));
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
        ValidUtf8(bytes) ? bytes : AnsiToUtf8(bytes, codePage));
    bool inSection = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line = Trim(std::string_view(text).substr(start, end - start));
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
