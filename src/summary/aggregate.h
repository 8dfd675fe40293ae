#pragma once

#include <string>

#include "agenda_db/agenda_access.h"
#include "core/variant.h"
#include "panel/panel.h"

namespace infotrakon::summary {

// The sum of one field over the records of a record source that pass a filter, added in
// the panel in double precision: no value when the agenda file is missing, 0 for no records.
// A Null amount (a cost not yet known) adds nothing; a value that is no number raises a type
// mismatch naming the table, the field and the record.
Variant SumField(panel::Panel& panel, const agenda_db::ReaderContext& context,
                 const std::string& field, const std::string& filter,
                 const std::string& recordSource);

// One field of the first record that passes a filter, as the record set gives it; the empty
// text when the agenda file is missing or no record passes.
Variant FirstFieldValue(panel::Panel& panel, const agenda_db::ReaderContext& context,
                        const std::string& field, const std::string& filter,
                        const std::string& recordSource);

}  // namespace infotrakon::summary
