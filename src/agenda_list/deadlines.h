#pragma once

#include <string>

#include "agenda_db/agenda_access.h"
#include "core/date.h"
#include "core/locale.h"
#include "panel/recordset.h"

namespace infotrakon::agenda_list {

// The vehicles still in service, whose deadlines the list and the calendar show.
inline constexpr const char* kVehiclesSource = "SELECT * FROM cars";
inline constexpr const char* kVehiclesInServiceFilter = "vyrazeno=false";

// One kind of a vehicle's deadline: the date field of cars and the suffix of its text.
struct DeadlineKind {
    const char* field;
    const char* suffix;
};

// The inspection first, then the emissions certificate: the order of the list's passes.
inline constexpr DeadlineKind kDeadlineKinds[] = {{"stk", " - konec STK"},
                                                  {"emise", " - končí platnost emisí"}};

// The text of the current vehicle's deadline: its name, a blank, its plate and the kind's
// suffix, before line breaks are flattened. A vehicle without a name or a plate still has
// one: both join as empty texts.
std::string DeadlineText(panel::Recordset& vehicles, const DeadlineKind& kind,
                         const Locale& locale);

// The calendar day of a date field of the current record, without its time of day. A Null
// or a value that is no date has no day: an Error naming the field and the record.
Date FieldDay(panel::Recordset& records, const char* field, const agenda_db::RecordPlace& place);

}  // namespace infotrakon::agenda_list
