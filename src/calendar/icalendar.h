#pragma once

#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "calendar/deadlines.h"

// The deadlines as an iCalendar (RFC 5545) calendar that calendar applications import or
// subscribe to.
namespace infotrakon::calendar {

// What an earlier export said of one event: a new export raises its sequence and its time
// of last change only when its day or its text moved.
struct EventRecord {
    int sequence = 0;
    std::string lastModified;  // as written, e.g. 20261207T154000Z
    std::string day;           // DTSTART, e.g. 20261207
    std::string summary;
};
using EventHistory = std::map<std::string, EventRecord>;  // by UID

// The events of an earlier calendar. An empty text has none; a text that is no iCalendar
// calendar raises an Error naming `source`.
EventHistory ReadEventHistory(const std::string& text, const std::string& source);

struct CalendarSettings {
    // One reminder per entry, so many days before the deadline's day (0: on the day).
    std::vector<int> reminderDays = {30, 7};
    std::time_t now = 0;  // the export's time: DTSTAMP, and LAST-MODIFIED of what changed
};

// The calendar of the deadlines: one whole-day event per deadline with its reminders, UIDs
// that follow the vehicle and kind of deadline, sequences carried on from `earlier`.
std::string CalendarText(const AgendaDeadlines& agenda, const CalendarSettings& settings,
                         const EventHistory& earlier);

// The UID of a deadline's event.
std::string EventUid(const VehicleDeadline& deadline);

}  // namespace infotrakon::calendar
