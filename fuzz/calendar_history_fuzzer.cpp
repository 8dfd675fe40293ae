// The calendar already at --out, read for the sequences of its events: whatever the file
// holds, its events or an Error, and a calendar made from them reads back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "calendar/icalendar.h"
#include "core/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    using namespace infotrakon;
    try {
        const calendar::EventHistory earlier = calendar::ReadEventHistory(text, "fuzz.ics");
        calendar::AgendaDeadlines agenda;
        for (const auto& [uid, event] : earlier) {
            const std::string identity = uid.substr(0, uid.rfind('@'));
            agenda.deadlines.push_back(
                {identity, "STK", Date::FromCivil(2027, 1, 1), event.summary});
        }
        calendar::ReadEventHistory(calendar::CalendarText(agenda, {}, earlier), "again.ics");
    } catch (const Error&) {
    }
    return 0;
}
