#include "calendar/deadlines.h"

#include <algorithm>
#include <map>

#include "agenda_list/deadlines.h"
#include "agenda_list/period.h"
#include "core/error.h"
#include "core/text_form.h"
#include "summary/aggregate.h"
#include "summary/refresh_command.h"

namespace infotrakon::calendar {
namespace {

using agenda_db::RecordPlace;

const char* CategoryOf(const agenda_list::DeadlineKind& kind) {
    return std::string_view(kind.field) == "stk" ? "STK" : "emise";
}

// Letters and digits as they are, every other byte as %XX: a UID stays plain ASCII.
std::string Encoded(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const unsigned char c : text) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 15];
        }
    }
    return encoded;
}

// What stays the vehicle's own while its deadlines move: the table's id where it has one,
// else the plate, else the name, else its place among the vehicles.
std::string VehicleKey(panel::Recordset& vehicles, bool hasId, const RecordPlace& place,
                       const Locale& locale) {
    const auto keyOf = [&](const char* field) -> std::string {
        const Variant value = vehicles.FieldValue(field);
        if (value.isNull()) return {};
        const std::string text = TextForm(value, locale);
        return text.empty() ? std::string() : std::string(field) + "-" + Encoded(text);
    };
    for (const char* field : {"id", "spz", "name"}) {
        if (std::string_view(field) == "id" && !hasId) continue;
        if (std::string key = keyOf(field); !key.empty()) return key;
    }
    return "record-" + std::to_string(place.Record());
}

std::string VehicleName(panel::Recordset& vehicles, const Locale& locale) {
    std::string name = JoinedTextForm(vehicles.FieldValue("name"), locale);
    const std::string plate = JoinedTextForm(vehicles.FieldValue("spz"), locale);
    if (!plate.empty()) name += (name.empty() ? "" : " ") + plate;
    return name.empty() ? "(bez názvu a SPZ)" : name;
}

// The vehicles' keys, each made unique by its order where two vehicles share one.
std::vector<std::string> VehicleKeys(panel::Recordset& vehicles, const Locale& locale) {
    const std::vector<std::string> fields = vehicles.FieldNames();
    const bool hasId = std::find(fields.begin(), fields.end(), "id") != fields.end();
    std::vector<std::string> keys;
    std::map<std::string, int> seen;
    agenda_db::WalkRecords(vehicles, "cars", [&](const RecordPlace& place) {
        std::string key = VehicleKey(vehicles, hasId, place, locale);
        if (const int earlier = seen[key]++; earlier > 0) key += "-" + std::to_string(earlier + 1);
        keys.push_back(std::move(key));
    });
    return keys;
}

void ReadDeadlinesOfKind(panel::Recordset& vehicles, const agenda_list::DeadlineKind& kind,
                         const std::vector<std::string>& keys,
                         const agenda_db::ReaderContext& context, const Date& from,
                         AgendaDeadlines& result) {
    std::size_t index = 0;
    agenda_db::WalkRecords(vehicles, "cars", [&](const RecordPlace& place) {
        const std::string& key = keys.at(index++);
        if (vehicles.FieldValue(kind.field).isNull()) {
            result.warnings.push_back("the vehicle " + VehicleName(vehicles, context.locale) +
                                      " (record " + std::to_string(place.Record()) +
                                      " of cars) has no " + kind.field + " date recorded");
            return;
        }
        const Date day = agenda_list::FieldDay(vehicles, kind.field, place);
        if (day < from) return;
        result.deadlines.push_back({std::string(kind.field) + "-" + key, CategoryOf(kind), day,
                                    agenda_list::FlattenLineBreaks(agenda_list::DeadlineText(
                                        vehicles, kind, context.locale))});
    });
}

}  // namespace

AgendaDeadlines ReadAgendaDeadlines(panel::Panel& panel, settings::RegistryStore& registry,
                                    const agenda_db::ReaderContext& context, const Date& from) {
    AgendaDeadlines result;
    summary::ReadAgendaPath(panel, registry, context);
    result.agenda = panel.Label3.caption();
    if (result.agenda.empty())
        throw Error(error_number::kCouldNotFindFile,
                    "The host's settings name no agenda (LastFullFileNameOpen is not set)");
    agenda_db::ConnectAgendaOrRaise(panel, context.files);
    result.company =
        JoinedTextForm(summary::FirstFieldValue(panel, context, "nazev", "", "SELECT * FROM firma"),
                       context.locale);

    panel::Recordset& vehicles = agenda_db::OpenAgendaRecordset(
        panel, agenda_list::kVehiclesSource, agenda_list::kVehiclesInServiceFilter);
    const std::vector<std::string> keys = VehicleKeys(vehicles, context.locale);
    for (const agenda_list::DeadlineKind& kind : agenda_list::kDeadlineKinds)
        ReadDeadlinesOfKind(vehicles, kind, keys, context, from, result);
    vehicles.Close();
    return result;
}

}  // namespace infotrakon::calendar
