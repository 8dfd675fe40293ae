#include "tools/mkagenda/description.h"

#include <nlohmann/json.hpp>

#include "core/error.h"

namespace infotrakon::mkagenda {
namespace {

using jet::ColumnType;
using nlohmann::json;

[[noreturn]] void Fail(const std::string& message) {
    throw Error(error_number::kInvalidProcedureCall, message);
}

ColumnType TypeByName(const std::string& name, const std::string& where) {
    static const std::pair<const char*, ColumnType> kTypes[] = {
        {"boolean", ColumnType::kBoolean},   {"byte", ColumnType::kByte},
        {"integer", ColumnType::kInteger},   {"long", ColumnType::kLong},
        {"single", ColumnType::kSingle},     {"double", ColumnType::kDouble},
        {"currency", ColumnType::kCurrency}, {"datetime", ColumnType::kDateTime},
        {"text", ColumnType::kText},         {"memo", ColumnType::kMemo}};
    for (const auto& [typeName, type] : kTypes)
        if (name == typeName) return type;
    Fail(where + ": unknown type \"" + name + "\"");
}

// An exact decimal such as "-1234.5678" in 1/10000 units.
std::optional<std::int64_t> ParseCurrency(const std::string& text) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++i;
    std::int64_t units = 0;
    int decimals = -1;
    bool digits = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && decimals < 0) {
            decimals = 0;
        } else if (c >= '0' && c <= '9') {
            if (decimals >= 4) return std::nullopt;
            // Accumulated with the sign, so that the most negative amount fits too.
            const int digit = negative ? -(c - '0') : c - '0';
            if (__builtin_mul_overflow(units, 10, &units) ||
                __builtin_add_overflow(units, digit, &units))
                return std::nullopt;
            if (decimals >= 0) ++decimals;
            digits = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    for (int d = decimals < 0 ? 0 : decimals; d < 4; ++d)
        if (__builtin_mul_overflow(units, 10, &units)) return std::nullopt;
    return units;
}

Variant ToValue(const json& cell, ColumnType type, const std::string& where) {
    if (cell.is_null()) {
        if (type == ColumnType::kBoolean) Fail(where + ": a boolean cannot be null");
        return Null{};
    }
    switch (type) {
        case ColumnType::kBoolean:
            if (!cell.is_boolean()) Fail(where + ": expected true or false");
            return cell.get<bool>();
        case ColumnType::kByte:
        case ColumnType::kInteger:
        case ColumnType::kLong:
            if (!cell.is_number_integer()) Fail(where + ": expected a whole number");
            if (cell.is_number_unsigned() && cell.get<std::uint64_t>() > INT64_MAX)
                Fail(where + ": number out of range");
            return cell.get<std::int64_t>();
        case ColumnType::kSingle:
        case ColumnType::kDouble:
            if (!cell.is_number()) Fail(where + ": expected a number");
            return cell.get<double>();
        case ColumnType::kCurrency: {
            std::string text;
            if (cell.is_string()) {
                text = cell.get<std::string>();
            } else if (cell.is_number_integer()) {
                text = cell.dump();
            } else if (cell.is_number_float()) {
                const double value = cell.get<double>();
                if (!(value > -9.2e14 && value < 9.2e14)) Fail(where + ": currency out of range");
                return Currency{static_cast<std::int64_t>(std::llround(value * 10000.0))};
            } else {
                Fail(where + ": expected a currency amount");
            }
            const auto units = ParseCurrency(text);
            if (!units)
                Fail(where + ": \"" + text + "\" is no exact amount with at most 4 decimals");
            return Currency{*units};
        }
        case ColumnType::kDateTime: {
            if (!cell.is_string()) Fail(where + ": expected \"YYYY-MM-DD[THH:MM:SS]\"");
            const auto date = Date::FromIso(cell.get<std::string>());
            if (!date || date->year() < 100 || date->year() > 9999)
                Fail(where + ": \"" + cell.get<std::string>() +
                     "\" is no date from 100-01-01 to 9999-12-31");
            return *date;
        }
        case ColumnType::kText:
        case ColumnType::kMemo:
            if (!cell.is_string()) Fail(where + ": expected a text");
            return cell.get<std::string>();
        default:
            Fail(where + ": unsupported type");
    }
}

ColumnDefinition ReadColumn(const json& column, const std::string& table) {
    if (!column.is_object() || !column.contains("name") || !column["name"].is_string() ||
        !column.contains("type") || !column["type"].is_string())
        Fail("Table " + table + ": every column needs a \"name\" and a \"type\"");
    ColumnDefinition definition;
    definition.name = column["name"].get<std::string>();
    const std::string where = "Table " + table + ", column " + definition.name;
    definition.type = TypeByName(column["type"].get<std::string>(), where);
    definition.size = definition.type == ColumnType::kText ? 255 : 0;
    if (column.contains("size")) {
        if (!column["size"].is_number_integer() || column["size"].get<std::int64_t>() < 1 ||
            column["size"].get<std::int64_t>() > 255)
            Fail(where + ": size must be 1 to 255");
        definition.size = static_cast<int>(column["size"].get<std::int64_t>());
    }
    return definition;
}

// A row given as an array holds every column in order; one given as an object names the
// columns it holds, and the others are Null, or false for a Yes/No column.
std::vector<Variant> ReadRow(const json& row, const std::vector<ColumnDefinition>& definitions,
                             const std::string& where) {
    std::vector<Variant> values(definitions.size(), Variant(Null{}));
    if (row.is_array()) {
        if (row.size() != definitions.size())
            Fail(where + ": " + std::to_string(row.size()) + " values for " +
                 std::to_string(definitions.size()) + " columns");
        for (std::size_t c = 0; c < definitions.size(); ++c)
            values[c] =
                ToValue(row[c], definitions[c].type, where + ", column " + definitions[c].name);
    } else if (row.is_object()) {
        for (const auto& [key, cell] : row.items()) {
            std::size_t c = 0;
            while (c < definitions.size() && definitions[c].name != key) ++c;
            if (c == definitions.size()) Fail(where + ": no column \"" + key + "\"");
            values[c] = ToValue(cell, definitions[c].type, where + ", column " + key);
        }
        for (std::size_t c = 0; c < definitions.size(); ++c)
            if (definitions[c].type == ColumnType::kBoolean && values[c].isNull())
                values[c] = false;
    } else {
        Fail(where + ": a row is an array or an object");
    }
    return values;
}

}  // namespace

void LoadDescription(const std::string& text, TableWriter& writer) {
    json description;
    try {
        description = json::parse(text);
    } catch (const json::exception& error) {
        Fail(std::string("The description is no valid JSON: ") + error.what());
    }
    if (!description.is_object() || !description.contains("tables") ||
        !description["tables"].is_array())
        Fail("The description needs an array \"tables\"");
    for (const json& table : description["tables"]) {
        if (!table.is_object() || !table.contains("name") || !table["name"].is_string())
            Fail("Every table needs a \"name\"");
        const std::string name = table["name"].get<std::string>();
        if (!table.contains("columns") || !table["columns"].is_array())
            Fail("Table " + name + ": needs an array \"columns\"");
        std::vector<ColumnDefinition> columns;
        for (const json& column : table["columns"]) columns.push_back(ReadColumn(column, name));
        const std::vector<ColumnDefinition> definitions = columns;
        const TableWriter::TableId id = writer.AddTable(name, std::move(columns));
        if (!table.contains("rows")) continue;
        if (!table["rows"].is_array()) Fail("Table " + name + ": \"rows\" must be an array");
        std::size_t rowNumber = 0;
        for (const json& row : table["rows"]) {
            ++rowNumber;
            const std::string where = "Table " + name + ", row " + std::to_string(rowNumber);
            writer.AppendRow(id, ReadRow(row, definitions, where));
        }
    }
}

}  // namespace infotrakon::mkagenda

namespace infotrakon::mkagenda {
namespace {

std::vector<ColumnDefinition> CarservisColumns() {
    using jet::ColumnType;
    return {{"id", ColumnType::kLong, 0},        {"car", ColumnType::kBoolean, 0},
            {"servis", ColumnType::kBoolean, 0}, {"stav", ColumnType::kLong, 0},
            {"datum", ColumnType::kDateTime, 0}, {"castka", ColumnType::kCurrency, 0},
            {"km", ColumnType::kLong, 0},        {"mh", ColumnType::kDouble, 0},
            {"text1", ColumnType::kMemo, 0}};
}

}  // namespace

void WriteDemoAgenda(TableWriter& writer, const Date& today) {
    using jet::ColumnType;
    const auto firma = writer.AddTable("firma", {{"nazev", ColumnType::kText, 100}});
    const Variant company[] = {Variant("Autodoprava Novák s.r.o.")};
    writer.AppendRow(firma, company);

    const auto carservis = writer.AddTable("carservis", CarservisColumns());
    struct Action {
        bool car, servis;
        int stav, offset;
        std::int64_t castka;  // in 1/10000
        std::int64_t km;
        double mh;
        const char* text;
    };
    const Action actions[] = {
        {true, true, 1, -40, 125005000, 120500, 0, "Výměna oleje a filtrů"},
        {true, true, 1, -3, 48000000, 121200, 0, "Pneuservis\r\nzimní pneumatiky"},
        {false, true, 1, -10, 350000000, 0, 0, "Mzdy řidičů"},
        {false, true, 1, -1, 12345000, 0, 0, "Školení BOZP"},
        {true, false, 0, 0, 99000000, 0, 1520.5, "Oprava brzd Tatra 815"},
        {true, false, 0, 3, 15000000, 0, 0, "Výměna stěračů"},
        {false, false, 0, 1, 25000000, 0, 0, "Lékařské prohlídky"},
        {true, false, 1, -2, 5000000, 0, 0, "Objednané díly"},
    };
    std::int64_t id = 1;
    for (const Action& action : actions) {
        const Variant row[] = {Variant(id++),
                               Variant(action.car),
                               Variant(action.servis),
                               Variant(std::int64_t{action.stav}),
                               Variant(today.AddDays(action.offset)),
                               Variant(Currency{action.castka}),
                               Variant(action.km),
                               Variant(action.mh),
                               Variant(action.text)};
        writer.AppendRow(carservis, row);
    }

    const auto cars = writer.AddTable("cars", {{"id", ColumnType::kLong, 0},
                                               {"name", ColumnType::kText, 50},
                                               {"spz", ColumnType::kText, 20},
                                               {"stk", ColumnType::kDateTime, 0},
                                               {"emise", ColumnType::kDateTime, 0},
                                               {"vyrazeno", ColumnType::kBoolean, 0}});
    const Variant car1[] = {Variant(1),     Variant("Tatra 815"),       Variant("1M2 3456"),
                            Variant(today), Variant(today.AddDays(20)), Variant(false)};
    const Variant car2[] = {Variant(2),
                            Variant("Škoda Octavia"),
                            Variant("2B7 8899"),
                            Variant(today.AddDays(40)),
                            Variant(today.AddDays(2)),
                            Variant(false)};
    const Variant car3[] = {Variant(3),     Variant("Avia A31"), Variant("3C1 0001"),
                            Variant(today), Variant(today),      Variant(true)};
    writer.AppendRow(cars, car1);
    writer.AppendRow(cars, car2);
    writer.AppendRow(cars, car3);
}

void WriteGeneratedAgenda(TableWriter& writer, std::size_t rows, const Date& today) {
    using jet::ColumnType;
    const auto firma = writer.AddTable("firma", {{"nazev", ColumnType::kText, 100}});
    const Variant company[] = {Variant("Zkušební agenda")};
    writer.AppendRow(firma, company);
    const auto carservis = writer.AddTable("carservis", CarservisColumns());
    static const char* const kTexts[] = {"Výměna oleje", "Oprava brzd", "Mzdy",
                                         "Pneuservis\r\nzima", "STK a emise"};
    std::uint64_t state = 12345;
    for (std::size_t i = 0; i < rows; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const auto r = static_cast<std::uint32_t>(state >> 33);
        const Variant row[] = {Variant(static_cast<std::int64_t>(i + 1)),
                               Variant((r & 1) != 0),
                               Variant((r & 2) != 0),
                               Variant(static_cast<std::int64_t>(r >> 2 & 1)),
                               Variant(today.AddDays(static_cast<std::int64_t>(r % 730) - 365)),
                               Variant(Currency{static_cast<std::int64_t>(r % 10'000'000) * 100}),
                               Variant(static_cast<std::int64_t>(r % 300'000)),
                               Variant(static_cast<double>(r % 5000) / 10.0),
                               Variant(kTexts[r % 5])};
        writer.AppendRow(carservis, row);
    }
    writer.AddTable("cars", {{"id", ColumnType::kLong, 0},
                             {"name", ColumnType::kText, 50},
                             {"spz", ColumnType::kText, 20},
                             {"stk", ColumnType::kDateTime, 0},
                             {"emise", ColumnType::kDateTime, 0},
                             {"vyrazeno", ColumnType::kBoolean, 0}});
}

}  // namespace infotrakon::mkagenda
