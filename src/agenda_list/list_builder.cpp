#include "agenda_list/list_builder.h"

#include <string>
#include <vector>

#include "agenda_list/deadlines.h"
#include "agenda_list/period.h"
#include "core/error.h"
#include "core/text_form.h"

namespace infotrakon::agenda_list {
namespace {

using agenda_db::RecordPlace;

std::string FieldText(panel::Recordset& records, const char* field, const RecordPlace& place,
                      const Locale& locale) {
    const Variant value = records.FieldValue(field);
    try {
        return TextForm(value, locale);
    } catch (const Error& error) {
        place.Raise(error, field);
    }
}

// The text of a number that is shown only when it is not exactly "0".
std::string UnlessZero(std::string text) { return text == "0" ? std::string() : text; }

// The fields that WriteActionRow reads, for the record set to read those alone.
const std::vector<std::string> kActionFields = {"datum", "km", "mh", "text1", "castka"};

void WriteActionRow(panel::ListView& list, panel::Recordset& records, const RecordPlace& place,
                    const Locale& locale) {
    const std::size_t row = list.AddItem(FieldText(records, "datum", place, locale));
    list.SetSubItem(row, 1, UnlessZero(FieldText(records, "km", place, locale)));
    list.SetSubItem(row, 2, UnlessZero(FieldText(records, "mh", place, locale)));
    list.SetSubItem(row, 3, FieldText(records, "text1", place, locale));
    list.SetSubItem(row, 3, FlattenLineBreaks(list.SubItem(row, 3)));
    list.SetSubItem(row, 4, UnlessZero(FieldText(records, "castka", place, locale)));
}

void WriteDeadlineRow(panel::ListView& list, panel::Recordset& records, const Date& day,
                      const DeadlineKind& kind, const Locale& locale) {
    const std::size_t row = list.AddItem(TextForm(Variant(day), locale));
    list.SetSubItem(row, 1, "");
    list.SetSubItem(row, 2, "");
    list.SetSubItem(row, 3, DeadlineText(records, kind, locale));
    list.SetSubItem(row, 3, FlattenLineBreaks(list.SubItem(row, 3)));
    list.SetSubItem(row, 4, "");
}

}  // namespace

void FillAgendaList(panel::Panel& panel, panel::ListView& list, bool planned, bool pending,
                    bool handled, bool deadlines, const std::string& period,
                    const agenda_db::ReaderContext& context) {
    list.ClearItems();
    if (!agenda_db::ConnectAgenda(panel, context.files)) return;

    std::string recordSource = "SELECT * FROM carservis";
    std::string filter;
    if (deadlines) {
        recordSource = kVehiclesSource;
        filter = kVehiclesInServiceFilter;
    } else {
        if (planned) filter = "servis=false";
        if (pending) filter = "servis=false and stav=0";
        if (handled) filter = "servis=true";
    }
    // The deadlines read the fields of their kinds, and any of the vehicles'.
    panel::Recordset& records = agenda_db::OpenAgendaRecordset(
        panel, recordSource, filter, deadlines ? std::vector<std::string>() : kActionFields);
    if (deadlines) {
        // Two passes over the vehicles: the inspections, then the emission certificates.
        for (const DeadlineKind& kind : kDeadlineKinds)
            agenda_db::WalkRecords(records, "cars", [&](const RecordPlace& place) {
                const Date day = FieldDay(records, kind.field, place);
                if (IsDateInPeriod(period, day, context.clock))
                    WriteDeadlineRow(list, records, day, kind, context.locale);
            });
    } else {
        // Rows whose day the period cannot pass need not be read at all.
        const DayRange days = PeriodDays(period, context.clock);
        records.SetDaysRead("datum", days.first, days.last);
        agenda_db::WalkRecords(records, "carservis", [&](const RecordPlace& place) {
            if (IsDateInPeriod(period, FieldDay(records, "datum", place), context.clock))
                WriteActionRow(list, records, place, context.locale);
        });
    }
    records.Close();
}

}  // namespace infotrakon::agenda_list
