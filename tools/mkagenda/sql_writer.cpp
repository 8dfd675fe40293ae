#include "tools/mkagenda/sql_writer.h"

#include <charconv>
#include <fstream>

#include "agenda_db/odbc/sql_identifier.h"
#include "core/error.h"
#include "core/text_form.h"

namespace infotrakon::mkagenda {
namespace {

using agenda_db::odbc::QuotedSqlIdentifier;

std::string SqlType(const ColumnDefinition& column) {
    using jet::ColumnType;
    switch (column.type) {
        case ColumnType::kBoolean:
            return "boolean NOT NULL";
        case ColumnType::kByte:
        case ColumnType::kInteger:
            return "smallint";
        case ColumnType::kLong:
            return "integer";
        case ColumnType::kSingle:
            return "real";
        case ColumnType::kDouble:
            return "double precision";
        case ColumnType::kCurrency:
            return "numeric(19,4)";
        case ColumnType::kDateTime:
            return "timestamp";
        case ColumnType::kText:
            return "varchar(" + std::to_string(column.size > 0 ? column.size : 255) + ")";
        default:
            return "text";
    }
}

// One value in COPY's text form.
std::string CopyValue(const Variant& value) {
    if (value.isNull() || value.isEmpty()) return "\\N";
    if (const bool* flag = value.get<bool>()) return *flag ? "t" : "f";
    if (const std::int64_t* number = value.get<std::int64_t>()) return std::to_string(*number);
    if (const double* number = value.get<double>()) {
        char buffer[32];
        return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, *number).ptr);
    }
    if (const Currency* amount = value.get<Currency>()) return CurrencyDigits(*amount, ".", true);
    if (const Date* date = value.get<Date>()) {
        std::string text = date->ToIso();
        if (!date->hasTime()) text += "T00:00:00";
        text[10] = ' ';
        return text;
    }
    if (const std::string* text = value.get<std::string>()) {
        std::string escaped;
        for (const char c : *text) {
            switch (c) {
                case '\\':
                    escaped += "\\\\";
                    break;
                case '\t':
                    escaped += "\\t";
                    break;
                case '\n':
                    escaped += "\\n";
                    break;
                case '\r':
                    escaped += "\\r";
                    break;
                default:
                    escaped += c;
            }
        }
        return escaped;
    }
    throw Error(error_number::kTypeMismatch,
                std::string("No SQL form for a value of kind ") + value.kindName());
}

}  // namespace

TableWriter::TableId SqlWriter::AddTable(const std::string& name,
                                         std::vector<ColumnDefinition> columns) {
    tables_.push_back({name, std::move(columns), {}});
    return tables_.size() - 1;
}

void SqlWriter::AppendRow(TableId table, std::span<const Variant> values) {
    std::string& data = tables_.at(table).copyData;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) data += '\t';
        data += CopyValue(values[i]);
    }
    data += '\n';
}

void SqlWriter::Finish(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw Error(error_number::kFileNotFound, "Cannot write " + path);
    out << "-- An agenda written by mkagenda; load it with psql -f.\n"
           "SET client_encoding = 'UTF8';\nSET standard_conforming_strings = on;\n\n";
    for (const Table& table : tables_) {
        out << "DROP TABLE IF EXISTS " << QuotedSqlIdentifier(table.name) << ";\nCREATE TABLE "
            << QuotedSqlIdentifier(table.name) << " (\n";
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            out << "    " << QuotedSqlIdentifier(table.columns[i].name) << ' '
                << SqlType(table.columns[i]) << (i + 1 < table.columns.size() ? ",\n" : "\n");
        out << ");\n";
        std::string names;
        for (const ColumnDefinition& column : table.columns)
            names += (names.empty() ? "" : ", ") + QuotedSqlIdentifier(column.name);
        out << "COPY " << QuotedSqlIdentifier(table.name) << " (" << names << ") FROM stdin;\n"
            << table.copyData << "\\.\n\n";
    }
    if (!out.flush()) throw Error(error_number::kFileNotFound, "Cannot write " + path);
}

}  // namespace infotrakon::mkagenda
