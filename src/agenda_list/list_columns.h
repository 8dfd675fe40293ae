#pragma once

#include "panel/elements.h"

namespace infotrakon::agenda_list {

// Column widths of the agenda list for the chosen view and the list's current width:
// the deadlines view shows only "Datum" and "Popis"; the others show all five columns.
void SetListColumns(bool deadlinesView, panel::ListView& list);

}  // namespace infotrakon::agenda_list
