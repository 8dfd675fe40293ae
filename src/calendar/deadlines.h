#pragma once

#include <string>
#include <vector>

#include "agenda_db/agenda_access.h"
#include "core/date.h"
#include "panel/panel.h"
#include "settings/registry_store.h"

// The vehicles' deadlines of the host's agenda, for a calendar of them.
namespace infotrakon::calendar {

// One deadline of one vehicle still in service.
struct VehicleDeadline {
    // Which vehicle and which kind of deadline, the same from one reading to the next while
    // the vehicle keeps its id (or, without an id field, its plate or name).
    std::string identity;
    std::string category;  // "STK" or "emise"
    Date day;              // a whole day
    std::string summary;   // the text the agenda list shows for it, on one line
};

struct AgendaDeadlines {
    std::string agenda;   // the host's path of the agenda, as its setting names it
    std::string company;  // firma.nazev of the first record; empty when Null
    std::vector<VehicleDeadline> deadlines;
    // A vehicle whose deadline is not recorded, for the user to hear of.
    std::vector<std::string> warnings;
};

// Reads the host's last agenda as the panel's refresh finds it, the company's name, and every
// deadline on or after `from` of the vehicles still in service, inspections first, in the
// order of the vehicles. The agenda not named or not there, a damaged file, a table or field
// that is missing, a deadline that is no date: an Error saying which.
AgendaDeadlines ReadAgendaDeadlines(panel::Panel& panel, settings::RegistryStore& registry,
                                    const agenda_db::ReaderContext& context, const Date& from);

}  // namespace infotrakon::calendar
