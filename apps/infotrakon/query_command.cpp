#include "query_command.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "agenda_db/agenda_access.h"
#include "agenda_db/record_source.h"
#include "control/infotrakon.h"
#include "core/error.h"
#include "core/text_form.h"
#include "panel/panel.h"

namespace infotrakon::app {
namespace {

std::string JsonString(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string DoubleDigits(double number) {
    // JSON has no NaN or infinities; they stay recognisable as strings.
    if (std::isnan(number)) return "\"NaN\"";
    if (std::isinf(number)) return number > 0 ? "\"Infinity\"" : "\"-Infinity\"";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    return std::string(buffer, result.ptr);
}

std::string DateText(const Date& date) {
    std::string text = date.ToIso();
    if (!date.hasTime()) text += "T00:00:00";
    return text;
}

// Texts for a person: one line per record, tabs between the fields.
std::string PlainValue(const Variant& value) {
    if (value.isNull()) return "Null";
    if (const std::string* text = value.get<std::string>()) {
        std::string shown;
        for (const char c : *text) {
            if (c == '\r')
                shown += "\\r";
            else if (c == '\n')
                shown += "\\n";
            else if (c == '\t')
                shown += "\\t";
            else if (c == '\\')
                shown += "\\\\";
            else
                shown += c;
        }
        return shown;
    }
    std::string token = JsonValue(value);
    if (token.size() >= 2 && token.front() == '"') token = token.substr(1, token.size() - 2);
    return token;
}

}  // namespace

std::string JsonValue(const Variant& value) {
    if (value.isNull() || value.isEmpty()) return "null";
    if (const bool* flag = value.get<bool>()) return *flag ? "true" : "false";
    if (const std::int64_t* number = value.get<std::int64_t>()) return std::to_string(*number);
    if (const double* number = value.get<double>()) return DoubleDigits(*number);
    // The exact stored value of a Single, not the seven digits it shows with.
    if (const Single* number = value.get<Single>()) return DoubleDigits(number->value);
    if (const Currency* amount = value.get<Currency>()) return CurrencyDigits(*amount);
    if (const Decimal* number = value.get<Decimal>()) return number->text;
    if (const Date* date = value.get<Date>()) return '"' + DateText(*date) + '"';
    if (const Guid* guid = value.get<Guid>()) return JsonString(guid->text);
    if (const Binary* bytes = value.get<Binary>()) {
        static const char kHex[] = "0123456789abcdef";
        std::string text = "\"0x";
        for (const std::uint8_t byte : bytes->bytes) {
            text += kHex[byte >> 4];
            text += kHex[byte & 15];
        }
        return text + '"';
    }
    if (const std::string* text = value.get<std::string>()) return JsonString(*text);
    return "null";
}

void RunQuery(const QueryOptions& options, std::ostream& out) {
    const control::HostEnvironment host =
        control::HostEnvironment::ForHost({options.winePrefix, std::nullopt, std::nullopt});
    panel::Panel panel;
    panel.Adodc1.SetBackend(host.backend);
    panel.Label3.SetCaption(options.database);
    agenda_db::ConnectAgendaOrRaise(panel, *host.files);
    panel::Recordset& records =
        agenda_db::OpenAgendaRecordset(panel, options.recordSource, options.filter);
    const std::int32_t count = records.RecordCount();
    const std::vector<std::string> fields = records.FieldNames();

    // Every value is read before anything is printed, so that an error prints no half table.
    std::vector<std::vector<Variant>> rows;
    rows.reserve(static_cast<std::size_t>(count));
    agenda_db::WalkRecords(records, agenda_db::RecordSourceTable(options.recordSource),
                           [&](const agenda_db::RecordPlace&) {
                               std::vector<Variant>& row = rows.emplace_back();
                               for (const std::string& field : fields)
                                   row.push_back(records.FieldValue(field));
                           });
    records.Close();

    if (options.json) {
        out << "{\"recordCount\": " << count << ", \"fields\": [";
        for (std::size_t i = 0; i < fields.size(); ++i)
            out << (i ? ", " : "") << JsonString(fields[i]);
        out << "], \"rows\": [";
        for (std::size_t r = 0; r < rows.size(); ++r) {
            out << (r ? ", " : "") << '[';
            for (std::size_t i = 0; i < rows[r].size(); ++i)
                out << (i ? ", " : "") << JsonValue(rows[r][i]);
            out << ']';
        }
        out << "]}\n";
        return;
    }
    out << count << (count == 1 ? " record\n" : " records\n");
    for (std::size_t i = 0; i < fields.size(); ++i) out << (i ? "\t" : "") << fields[i];
    out << '\n';
    for (const std::vector<Variant>& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) out << (i ? "\t" : "") << PlainValue(row[i]);
        out << '\n';
    }
}

}  // namespace infotrakon::app
