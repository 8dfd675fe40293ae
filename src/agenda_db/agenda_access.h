#pragma once

#include <optional>
#include <string>

#include "core/clock.h"
#include "core/file_system.h"
#include "core/locale.h"
#include "panel/panel.h"

namespace infotrakon::agenda_db {

// What the panel's readers need besides the panel: the file test and the way to the files,
// the user's locale for the texts they write, and today's date for the periods.
struct ReaderContext {
    const FileSystem& files;
    const Locale& locale;
    const Clock& clock;
};

// The connection string for an agenda path by the last four characters of the path in
// upper case: ".MDB" for the Jet provider, ".UDL" for a data link; nullopt for any other.
// A path shorter than four characters raises an Error.
std::optional<std::string> AgendaConnectionString(const std::string& path);

// Points Adodc1 at the agenda that Label3 names. False, with nothing changed, when the file
// is not there; a path of another extension leaves the connection string as it was.
bool ConnectAgenda(panel::Panel& panel, const FileSystem& files);

// Runs a record source through Adodc1 and filters its record set.
panel::Recordset& OpenAgendaRecordset(panel::Panel& panel, const std::string& recordSource,
                                      const std::string& filter);

}  // namespace infotrakon::agenda_db
