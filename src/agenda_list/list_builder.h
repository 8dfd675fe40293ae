#pragma once

#include <string>

#include "agenda_db/agenda_access.h"
#include "panel/panel.h"

namespace infotrakon::agenda_list {

// Empties `list` and fills it for the period: the vehicles' inspection and emissions
// deadlines from cars when `deadlines` is set, else the actions of carservis that the view
// chooses (the last set of planned, pending and handled wins; none set lists all). Rows come
// in record order, the deadline rows inspection first. An error stops the fill where it
// arises; the rows written before stay.
void FillAgendaList(panel::Panel& panel, panel::ListView& list, bool planned, bool pending,
                    bool handled, bool deadlines, const std::string& period,
                    const agenda_db::ReaderContext& context);

}  // namespace infotrakon::agenda_list
