#pragma once

#include <string>
#include <string_view>

namespace infotrakon::agenda_db {

// The table of a record source "SELECT * FROM <table>": keywords in any letter case, the
// name as it stands or in [brackets] (for blanks and other characters). Anything else raises
// an "unsupported record source" Error.
std::string RecordSourceTable(std::string_view recordSource);

}  // namespace infotrakon::agenda_db
