#include "agenda_list/deadlines.h"

#include "core/error.h"
#include "core/text_form.h"

namespace infotrakon::agenda_list {

std::string DeadlineText(panel::Recordset& vehicles, const DeadlineKind& kind,
                         const Locale& locale) {
    return JoinedTextForm(vehicles.FieldValue("name"), locale) + " " +
           JoinedTextForm(vehicles.FieldValue("spz"), locale) + kind.suffix;
}

Date FieldDay(panel::Recordset& records, const char* field, const agenda_db::RecordPlace& place) {
    const Variant value = records.FieldValue(field);
    if (const Date* date = value.get<Date>()) return date->WholeDay();
    const Error error =
        value.isNull()
            ? Error(error_number::kInvalidUseOfNull, "Invalid use of Null")
            : Error(error_number::kTypeMismatch, std::string("Type mismatch: a value of kind ") +
                                                     value.kindName() + " is no date");
    place.Raise(error, field);
}

}  // namespace infotrakon::agenda_list
