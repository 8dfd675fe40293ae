#include "agenda_db/odbc/server_query.h"

#include "agenda_db/odbc/sql_identifier.h"
#include "agenda_db/record_source.h"
#include "core/date.h"
#include "core/text_encoding.h"

namespace infotrakon::agenda_db::odbc {

std::string ServerStatement(const std::string& recordSource) {
    const std::string table = RecordSourceTable(recordSource);
    if (recordSource.find('[') == std::string::npos) {
        std::string statement = recordSource;
        while (!statement.empty() && (statement.back() == ';' || statement.back() == ' '))
            statement.pop_back();
        return statement;
    }
    return "SELECT * FROM " + QuotedSqlIdentifier(table);
}

bool ServerCanCompare(SQLSMALLINT columnType, const Variant& constant) {
    switch (columnType) {
        case SQL_BIT:
            return constant.get<bool>() != nullptr;
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT:
        case SQL_NUMERIC:
        case SQL_DECIMAL:
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return constant.get<std::int64_t>() != nullptr;
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIMESTAMP:
            return constant.get<Date>() != nullptr;
        default:
            return false;
    }
}

ServerQuery::ServerQuery(std::string sql, std::vector<Variant> constants)
    : sql_(std::move(sql)), constants_(std::move(constants)) {}

ServerQuery ServerQuery::ColumnsOf(const std::string& statement) {
    return ServerQuery("SELECT * FROM (" + statement + ") AS agenda_source WHERE 1 = 0", {});
}

namespace {

// The comparisons as a WHERE clause, their constants appended to `constants`.
std::string WhereClause(const std::vector<PushedComparison>& pushed,
                        std::vector<Variant>& constants) {
    std::string sql;
    for (std::size_t i = 0; i < pushed.size(); ++i) {
        const Comparison& comparison = *pushed[i].comparison;
        sql += std::string(i ? " AND " : " WHERE ") + QuotedSqlIdentifier(pushed[i].field) +
               (comparison.op == Comparison::Operator::kEqual ? " = ?" : " >= ?");
        constants.push_back(comparison.constant);
    }
    return sql;
}

// Whether a date field holds a date outside the years 100 to 9999, which the panel reads as
// text and raises on.
std::string OutsideAccessYears(const std::string& field, std::vector<Variant>& constants) {
    const std::string quoted = QuotedSqlIdentifier(field);
    constants.insert(constants.end(),
                     {Variant(Date::FromCivil(100, 1, 1)), Variant(Date::FromCivil(10000, 1, 1))});
    return quoted + " < ? OR " + quoted + " >= ?";
}

// The day hint as a condition: a Null passes, and so does a date that the panel cannot read,
// for the reader to meet as without the hint.
std::string DaysCondition(const PushedDays& days, std::vector<Variant>& constants) {
    const std::string field = QuotedSqlIdentifier(days.field);
    std::string condition =
        "(" + field + " IS NULL OR " + OutsideAccessYears(days.field, constants);
    constants.insert(constants.end(),
                     {Variant(days.first.WholeDay()), Variant(days.last.WholeDay().AddDays(1))});
    return condition + " OR (" + field + " >= ? AND " + field + " < ?))";
}

}  // namespace

namespace {

// The whole seconds of a date since 1970, cut as the panel cuts them from the text.
std::string SecondsOf(const std::string& quoted) {
    return "CAST(EXTRACT(EPOCH FROM date_trunc('second', CAST(" + quoted +
           " AS timestamp))) AS bigint)";
}

// The fields as identifiers, or all of them; a carried field as its number and, beside it,
// itself where the number cannot carry it (outside the years 100 to 9999, whose text the panel
// reads; a time stamp with a zone as the session's wall-clock time). Their constants are
// appended to `constants`.
std::string FieldList(const std::vector<SelectedField>& selected, std::vector<Variant>& constants) {
    std::string fields;
    for (std::size_t i = 0; i < selected.size(); ++i) {
        const std::string quoted = QuotedSqlIdentifier(selected[i].name);
        fields += fields.empty() ? "" : ", ";
        if (selected[i].carried == Carried::kAsItIs) {
            fields += quoted;
            continue;
        }
        const std::string index = std::to_string(i);
        fields += "CASE WHEN " + OutsideAccessYears(selected[i].name, constants) +
                  " THEN NULL ELSE " + SecondsOf(quoted) + " END AS agenda_number_" + index;
        fields += ", CASE WHEN " + OutsideAccessYears(selected[i].name, constants) + " THEN " +
                  quoted + " END AS agenda_value_" + index;
    }
    return fields.empty() ? "agenda_source.*" : fields;
}

// The number of the rows that pass the comparisons whose `dateFields` hold a date that the
// panel cannot read, as a window over those rows.
std::string UnreadableRows(const std::vector<std::string>& dateFields,
                           std::vector<Variant>& constants) {
    if (dateFields.empty()) return "0";
    std::string unreadable;
    for (const std::string& field : dateFields)
        unreadable += (unreadable.empty() ? "" : " OR ") + OutsideAccessYears(field, constants);
    return "sum(CASE WHEN " + unreadable + " THEN 1 ELSE 0 END) OVER ()";
}

}  // namespace

ServerQuery ServerQuery::RowsOf(const std::string& statement,
                                const std::vector<SelectedField>& selected,
                                const std::vector<PushedComparison>& pushed,
                                const std::optional<PushedDays>& days) {
    if (selected.empty() && pushed.empty() && !days) return ServerQuery(statement, {});
    // Every value goes as a bound parameter, in the order of their markers in the text: each
    // part is made in turn (the operands of one expression are made in no set order).
    std::vector<Variant> constants;
    const std::string fields = FieldList(selected, constants);
    const std::string where = WhereClause(pushed, constants);
    const std::string passing =
        "SELECT " + fields + " FROM (" + statement + ") AS agenda_source" + where;
    if (!days) return ServerQuery(passing, std::move(constants));
    return InDays("*", passing, std::move(constants), *days);
}

ServerQuery ServerQuery::CountedRowsOf(const std::string& statement,
                                       const std::vector<SelectedField>& selected,
                                       const std::vector<PushedComparison>& pushed,
                                       const std::optional<PushedDays>& days,
                                       const std::vector<std::string>& dateFields) {
    // The constants go in the order of their markers in the text.
    std::vector<Variant> constants;
    const std::string unreadable =
        UnreadableRows(dateFields, constants) + " AS " + std::string(kUnreadableColumn) + ", ";
    const std::string fields = FieldList(selected, constants);
    const std::string from =
        " FROM (" + statement + ") AS agenda_source" + WhereClause(pushed, constants);
    const std::string count = "count(*) OVER () AS " + std::string(kCountColumn) + ", ";
    if (!days)
        return ServerQuery("SELECT " + count + unreadable + fields + from, std::move(constants));
    return InDays(count + "agenda_passing.*", "SELECT " + unreadable + fields + from,
                  std::move(constants), *days);
}

// OFFSET 0 keeps the server from planning the hint's condition into the scan of the passing
// rows, where an index of the day's field would give them in another order.
ServerQuery ServerQuery::InDays(const std::string& selected, const std::string& passing,
                                std::vector<Variant> constants, const PushedDays& days) {
    ServerQuery query("", {});
    query.passing_ = passing + " OFFSET 0";
    query.passingConstants_ = constants;
    query.days_ = days;
    const std::string inDays = DaysCondition(days, constants);
    query.sql_ =
        "SELECT " + selected + " FROM (" + query.passing_ + ") AS agenda_passing WHERE " + inDays;
    query.constants_ = std::move(constants);
    return query;
}

ServerQuery ServerQuery::PlacesOfRows() const {
    std::vector<Variant> constants = passingConstants_;
    const std::string inDays = DaysCondition(*days_, constants);
    const std::string place = kPlaceColumn;
    return ServerQuery("SELECT " + place + " FROM (SELECT row_number() OVER () AS " + place +
                           ", agenda_passing.* FROM (" + passing_ +
                           ") AS agenda_passing) AS agenda_numbered WHERE " + inDays,
                       std::move(constants));
}

bool ServerQuery::Run(const Handle& statement, const ServerName& server) {
    Bind(statement, server);
    std::u16string text = Utf8ToUtf16(sql_);
    const SQLRETURN result =
        SQLExecDirectW(statement.get(), WideArgument(text), static_cast<SQLINTEGER>(text.size()));
    return SQL_SUCCEEDED(result) || result == SQL_NO_DATA;
}

void ServerQuery::Bind(const Handle& statement, const ServerName& server) {
    parameters_.assign(constants_.size(), {});
    for (std::size_t i = 0; i < constants_.size(); ++i) {
        const auto index = static_cast<SQLUSMALLINT>(i + 1);
        const Variant& constant = constants_[i];
        Parameter& parameter = parameters_[i];
        SQLRETURN result = SQL_ERROR;
        if (const bool* flag = constant.get<bool>()) {
            parameter.flag = *flag ? 1 : 0;
            result = SQLBindParameter(statement.get(), index, SQL_PARAM_INPUT, SQL_C_BIT, SQL_BIT,
                                      1, 0, &parameter.flag, 0, &parameter.indicator);
        } else if (const std::int64_t* number = constant.get<std::int64_t>()) {
            parameter.number = *number;
            result = SQLBindParameter(statement.get(), index, SQL_PARAM_INPUT, SQL_C_SBIGINT,
                                      SQL_BIGINT, 0, 0, &parameter.number, 0, &parameter.indicator);
        } else if (const Date* date = constant.get<Date>()) {
            const CivilDate civil = date->civil();
            parameter.timestamp = {static_cast<SQLSMALLINT>(civil.year),
                                   static_cast<SQLUSMALLINT>(civil.month),
                                   static_cast<SQLUSMALLINT>(civil.day),
                                   static_cast<SQLUSMALLINT>(date->secondsOfDay() / 3600),
                                   static_cast<SQLUSMALLINT>(date->secondsOfDay() / 60 % 60),
                                   static_cast<SQLUSMALLINT>(date->secondsOfDay() % 60),
                                   0};
            result = SQLBindParameter(statement.get(), index, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP,
                                      SQL_TYPE_TIMESTAMP, 19, 0, &parameter.timestamp, 0,
                                      &parameter.indicator);
        }
        if (!SQL_SUCCEEDED(result))
            Fail(SQL_HANDLE_STMT, statement.get(), server, "bind the filter's values on");
    }
}

}  // namespace infotrakon::agenda_db::odbc
