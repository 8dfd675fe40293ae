#pragma once

#include <ostream>
#include <string>

#include "command_line.h"
#include "core/variant.h"

namespace infotrakon::app {

// A field value as a JSON token: numbers exactly as stored (a currency or decimal digit for
// digit), dates as "YYYY-MM-DDTHH:MM:SS", GUIDs as "{...}", binary values as "0x..." hex.
std::string JsonValue(const Variant& value);

// Runs the query through a panel's data control as the panel runs its own and prints the
// record count and the rows, as text or as JSON. Raises an Error when it cannot.
void RunQuery(const QueryOptions& options, std::ostream& out);

}  // namespace infotrakon::app
