#include "summary/aggregate.h"

#include "agenda_db/record_source.h"
#include "core/error.h"

namespace infotrakon::summary {
namespace {

double AsDouble(const Variant& value) {
    if (const std::optional<double> number = NumericValue(value)) return *number;
    throw Error(error_number::kTypeMismatch, std::string("Type mismatch: a value of kind ") +
                                                 value.kindName() + " is no number");
}

}  // namespace

Variant SumField(panel::Panel& panel, const agenda_db::ReaderContext& context,
                 const std::string& field, const std::string& filter,
                 const std::string& recordSource) {
    if (!agenda_db::ConnectAgenda(panel, context.files)) return Variant();
    double total = 0;
    panel::Recordset& records =
        agenda_db::OpenAgendaRecordset(panel, recordSource, filter, {field});
    agenda_db::WalkRecords(records, agenda_db::RecordSourceTable(recordSource),
                           [&](const agenda_db::RecordPlace& place) {
                               const Variant value = records.FieldValue(field);
                               // A cost without an amount is a cost not yet priced: the figure
                               // is the sum of the known ones, as the user reads it, rather
                               // than no figure at all.
                               if (value.isNull()) return;
                               try {
                                   total = AsDouble(Add(value, Variant(total), context.locale));
                               } catch (const Error& error) {
                                   place.Raise(error, field);
                               }
                           });
    records.Close();
    return total;
}

Variant FirstFieldValue(panel::Panel& panel, const agenda_db::ReaderContext& context,
                        const std::string& field, const std::string& filter,
                        const std::string& recordSource) {
    Variant result = std::string();
    if (!agenda_db::ConnectAgenda(panel, context.files)) return result;
    panel::Recordset& records =
        agenda_db::OpenAgendaRecordset(panel, recordSource, filter, {field});
    if (records.RecordCount() > 0) {
        records.MoveFirst();
        result = records.FieldValue(field);
    }
    records.Close();
    return result;
}

}  // namespace infotrakon::summary
