#include "calendar/icalendar.h"

#include <libical/ical.h>

#include <memory>

#include "core/error.h"
#include "core/version.h"

namespace infotrakon::calendar {
namespace {

struct ComponentDeleter {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentDeleter>;

// libical answers a failed allocation with a null pointer.
template <typename T>
T* Made(T* made) {
    if (made == nullptr) throw Error(error_number::kOutOfMemory, "Out of memory");
    return made;
}

icaltimetype DayOf(const Date& date) {
    icaltimetype day = icaltime_null_date();
    day.year = date.year();
    day.month = date.civil().month;
    day.day = date.civil().day;
    return day;
}

std::string DayText(const Date& date) { return icaltime_as_ical_string(DayOf(date)); }

// A Czech "in so many days", as the reminder says it.
std::string InDays(int days) {
    if (days == 0) return "Dnes";
    if (days == 1) return "Zítra";
    return "Za " + std::to_string(days) + (days <= 4 ? " dny" : " dní");
}

std::string CzechDate(const Date& date) {
    return std::to_string(date.civil().day) + ". " + std::to_string(date.civil().month) + ". " +
           std::to_string(date.year());
}

icalcomponent* Reminder(const VehicleDeadline& deadline, int days) {
    icalcomponent* alarm = Made(icalcomponent_new_valarm());
    icalcomponent_add_property(alarm, Made(icalproperty_new_action(ICAL_ACTION_DISPLAY)));
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_null_duration();
    trigger.duration.is_neg = days > 0 ? 1 : 0;
    trigger.duration.days = static_cast<unsigned int>(days);
    icalcomponent_add_property(alarm, Made(icalproperty_new_trigger(trigger)));
    const std::string text =
        InDays(days) + ": " + deadline.summary + " (" + CzechDate(deadline.day) + ")";
    icalcomponent_add_property(alarm, Made(icalproperty_new_description(text.c_str())));
    return alarm;
}

icalcomponent* Event(const VehicleDeadline& deadline, const CalendarSettings& settings,
                     const EventHistory& earlier, const icaltimetype& now) {
    const std::string uid = EventUid(deadline);
    const std::string day = DayText(deadline.day);
    int sequence = 0;
    icaltimetype lastModified = now;
    if (const auto before = earlier.find(uid); before != earlier.end()) {
        const EventRecord& record = before->second;
        const bool moved = record.day != day || record.summary != deadline.summary;
        sequence = moved ? record.sequence + 1 : record.sequence;
        if (!moved && !record.lastModified.empty())
            lastModified = icaltime_from_string(record.lastModified.c_str());
    }
    icalcomponent* event = Made(icalcomponent_new_vevent());
    const auto add = [event](icalproperty* property) {
        icalcomponent_add_property(event, Made(property));
    };
    add(icalproperty_new_uid(uid.c_str()));
    add(icalproperty_new_dtstamp(now));
    add(icalproperty_new_dtstart(DayOf(deadline.day)));
    add(icalproperty_new_dtend(DayOf(deadline.day.AddDays(1))));
    add(icalproperty_new_summary(deadline.summary.c_str()));
    add(icalproperty_new_categories(deadline.category.c_str()));
    add(icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    add(icalproperty_new_sequence(sequence));
    add(icalproperty_new_lastmodified(icaltime_is_null_time(lastModified) ? now : lastModified));
    for (const int days : settings.reminderDays)
        icalcomponent_add_component(event, Reminder(deadline, days));
    return event;
}

// An X- property whose value is text; libical escapes it as RFC 5545 escapes text.
icalproperty* TextExtension(const char* name, const std::string& text) {
    icalproperty* property = Made(icalproperty_new_x(text.c_str()));
    icalproperty_set_x_name(property, name);
    return property;
}

std::string TextOf(icalcomponent* calendar) {
    char* text = icalcomponent_as_ical_string_r(calendar);
    if (text == nullptr) throw Error(error_number::kOutOfMemory, "Out of memory");
    std::string result(text);
    icalmemory_free_buffer(text);
    return result;
}

}  // namespace

std::string EventUid(const VehicleDeadline& deadline) { return deadline.identity + "@infotrakon"; }

EventHistory ReadEventHistory(const std::string& text, const std::string& source) {
    EventHistory history;
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) return history;
    const Component calendar(icalparser_parse_string(text.c_str()));
    if (!calendar || icalcomponent_isa(calendar.get()) != ICAL_VCALENDAR_COMPONENT)
        throw Error(error_number::kDatabaseFormat,
                    "'" + source + "' is no iCalendar calendar (expected BEGIN:VCALENDAR)");
    for (icalcomponent* event =
             icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT);
         event != nullptr;
         event = icalcomponent_get_next_component(calendar.get(), ICAL_VEVENT_COMPONENT)) {
        const char* uid = icalcomponent_get_uid(event);
        if (uid == nullptr) continue;
        EventRecord record;
        record.sequence = std::max(0, icalcomponent_get_sequence(event));
        const icaltimetype start = icalcomponent_get_dtstart(event);
        if (!icaltime_is_null_time(start)) record.day = icaltime_as_ical_string(start);
        if (const char* summary = icalcomponent_get_summary(event)) record.summary = summary;
        if (icalproperty* modified =
                icalcomponent_get_first_property(event, ICAL_LASTMODIFIED_PROPERTY))
            record.lastModified = icaltime_as_ical_string(icalproperty_get_lastmodified(modified));
        history[uid] = record;
    }
    return history;
}

std::string CalendarText(const AgendaDeadlines& agenda, const CalendarSettings& settings,
                         const EventHistory& earlier) {
    const icaltimetype now =
        icaltime_from_timet_with_zone(settings.now, 0, icaltimezone_get_utc_timezone());
    const Component calendar(Made(icalcomponent_new_vcalendar()));
    icalcomponent_add_property(calendar.get(), Made(icalproperty_new_version("2.0")));
    const std::string product = std::string("-//InfoTrakon//Terminy ") + kVersionText + "//CS";
    icalcomponent_add_property(calendar.get(), Made(icalproperty_new_prodid(product.c_str())));
    icalcomponent_add_property(calendar.get(), Made(icalproperty_new_method(ICAL_METHOD_PUBLISH)));
    icalcomponent_add_property(calendar.get(),
                               TextExtension("X-WR-CALNAME", "Termíny – " + agenda.company));
    for (const VehicleDeadline& deadline : agenda.deadlines)
        icalcomponent_add_component(calendar.get(), Event(deadline, settings, earlier, now));
    return TextOf(calendar.get());
}

}  // namespace infotrakon::calendar
