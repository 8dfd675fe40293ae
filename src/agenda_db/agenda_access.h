#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/error.h"
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

// ConnectAgenda for a reader that cannot do without the agenda: Error 3024 when the file is
// not there, 3706 for a path that is neither an .mdb nor a .udl file.
void ConnectAgendaOrRaise(panel::Panel& panel, const FileSystem& files);

// Runs a record source through Adodc1 and filters its record set, for a reader that reads
// `fieldsRead` alone (no names: any field).
panel::Recordset& OpenAgendaRecordset(panel::Panel& panel, const std::string& recordSource,
                                      const std::string& filter,
                                      const std::vector<std::string>& fieldsRead = {});

// One record of a walk, for the messages of what cannot be read or shown there.
struct RecordPlace {
    std::string_view table;
    panel::Recordset& records;  // at the record while the walk visits it

    // The record's AbsolutePosition, asked of the set only where a message needs it: a
    // server's record set numbers its records for that with a scan of their own.
    std::int32_t Record() const { return records.AbsolutePosition(); }
    // Raises `error` again with the table, `field` and the record added to its message.
    [[noreturn]] void Raise(const Error& error, std::string_view field) const;
};

// The walk of every reader over a record set, by its count: on a set with records, MoveFirst,
// then `visit` and MoveNext once per record, then MoveFirst again; an empty set is not moved
// at all. The count is read once, before the walk. Closing the set is the reader's.
void WalkRecords(panel::Recordset& records, const std::string& table,
                 const std::function<void(const RecordPlace&)>& visit);

}  // namespace infotrakon::agenda_db
