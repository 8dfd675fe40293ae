#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_encoding.h"

namespace infotrakon::agenda_db {

// One "key=value" of an OLE DB connection string, the value unquoted.
struct ConnectionProperty {
    std::string key;
    std::string value;
};

// Splits a connection string at its semicolons the way OLE DB reads it: blanks around keys
// and values dropped, a value in double or single quotes may hold semicolons (a doubled quote
// stands for one), "==" in a key for "=". Raises an Error for a malformed string.
std::vector<ConnectionProperty> ParseConnectionString(std::string_view text);

// Appends the text from `at` on to `out` up to the first single `end`, a doubled `end`
// standing for one, and moves past it; false where the text ends first, or reaches `stop`
// (left where it is).
bool TakeToSingle(std::string_view text, std::size_t& at, char end, std::string& out,
                  char stop = '\0');

// The value of a key, found without regard to letter case; the last one wins, as in OLE DB.
std::optional<std::string> FindProperty(const std::vector<ConnectionProperty>& properties,
                                        std::string_view key);

// The initialisation string of a data-link (.udl) file's contents: UTF-16LE with its byte
// order mark as the platform writes it, or UTF-8, or single-byte text in `codePage`; the
// first line after "[oledb]" that is neither empty nor a comment. Raises an Error naming
// `fileName` when there is none.
std::string DataLinkInitString(const std::string& bytes, const std::string& fileName,
                               const char* codePage = SystemAnsiCodePage());

}  // namespace infotrakon::agenda_db
