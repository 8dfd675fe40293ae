#pragma once

#include <cstdint>

#include "agenda_db/agenda_access.h"
#include "panel/panel.h"

namespace infotrakon::agenda_list {

// Sets ListView1's columns for the chosen view and refills it for the chosen period; the
// handler of Combo2 and of the four option buttons. Any mode other than 1 does nothing.
void RefreshAgendaList(std::int32_t mode, panel::Panel& panel,
                       const agenda_db::ReaderContext& context);

}  // namespace infotrakon::agenda_list
