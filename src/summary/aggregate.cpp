#include "summary/aggregate.h"

#include "agenda_db/record_source.h"
#include "core/error.h"

namespace infotrakon::summary {
namespace {

double AsDouble(const Variant& value) {
    if (const double* number = value.get<double>()) return *number;
    if (const std::int64_t* number = value.get<std::int64_t>()) return static_cast<double>(*number);
    if (const Currency* amount = value.get<Currency>()) return amount->ToDouble();
    if (const Decimal* number = value.get<Decimal>()) return number->ToDouble();
    if (const Date* date = value.get<Date>()) return date->ToOle();
    if (const bool* flag = value.get<bool>()) return *flag ? -1.0 : 0.0;
    throw Error(error_number::kTypeMismatch, std::string("Type mismatch: a value of kind ") +
                                                 value.kindName() + " is no number");
}

}  // namespace

Variant SumField(panel::Panel& panel, const agenda_db::ReaderContext& context,
                 const std::string& field, const std::string& filter,
                 const std::string& recordSource) {
    if (!agenda_db::ConnectAgenda(panel, context.files)) return Variant();
    double total = 0;
    panel::Recordset& records = agenda_db::OpenAgendaRecordset(panel, recordSource, filter);
    if (records.RecordCount() > 0) {
        records.MoveFirst();
        const std::int32_t count = records.RecordCount();
        for (std::int32_t record = 1; record <= count; ++record) {
            const Variant value = records.FieldValue(field);
            // A cost without an amount is a cost not yet priced: the figure is the sum of
            // the known ones, as the user reads it, rather than no figure at all.
            if (!value.isNull()) {
                try {
                    total = AsDouble(Add(value, Variant(total), context.locale));
                } catch (const Error& error) {
                    throw Error(error.number(), std::string(error.what()) + " (table " +
                                                    agenda_db::RecordSourceTable(recordSource) +
                                                    ", field " + field + ", record " +
                                                    std::to_string(record) + ")");
                }
            }
            records.MoveNext();
        }
        records.MoveFirst();
    }
    records.Close();
    return total;
}

Variant FirstFieldValue(panel::Panel& panel, const agenda_db::ReaderContext& context,
                        const std::string& field, const std::string& filter,
                        const std::string& recordSource) {
    Variant result = std::string();
    if (!agenda_db::ConnectAgenda(panel, context.files)) return result;
    panel::Recordset& records = agenda_db::OpenAgendaRecordset(panel, recordSource, filter);
    if (records.RecordCount() > 0) {
        records.MoveFirst();
        result = records.FieldValue(field);
    }
    records.Close();
    return result;
}

}  // namespace infotrakon::summary
