#pragma once

#include <string>

namespace infotrakon::agenda_db::odbc {

// A name as an SQL identifier: in double quotes, a double quote in it doubled.
inline std::string QuotedSqlIdentifier(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace infotrakon::agenda_db::odbc
