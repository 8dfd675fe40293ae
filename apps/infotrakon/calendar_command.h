#pragma once

#include <ostream>
#include <string>

#include "command_line.h"

namespace infotrakon::app {

// One export of the calendar: its text, and the platform's path of the agenda it was read
// from (to follow it).
struct CalendarExport {
    std::string text;
    std::string agendaPath;
};

// Reads the host's agenda and makes its calendar, carrying the events' sequences on from
// the calendar already at --out. Vehicles without a deadline date are warned about on
// `warnings`. Throws Error.
CalendarExport ExportCalendar(const CalendarOptions& options, std::ostream& warnings);

// Writes `text` into `path` as a whole or not at all: a temporary file in the same folder,
// then a rename over the old one. Throws Error.
void WriteFileAtomically(const std::string& path, const std::string& text);

// The calendar command: to stdout, or into --out, then again on every change with --follow
// (until the program is stopped). The exit status.
int RunCalendar(const CalendarOptions& options);

}  // namespace infotrakon::app
