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

ServerQuery ServerQuery::RowsOf(const std::string& statement,
                                const std::vector<std::string>& selected,
                                const std::vector<PushedComparison>& pushed) {
    if (selected.empty() && pushed.empty()) return ServerQuery(statement, {});
    // Field names as identifiers; every value goes as a bound parameter.
    std::string fields;
    for (const std::string& name : selected)
        fields += (fields.empty() ? "" : ", ") + QuotedSqlIdentifier(name);
    std::string sql = "SELECT " + (selected.empty() ? "*" : fields) + " FROM (" + statement +
                      ") AS agenda_source";
    std::vector<Variant> constants;
    for (std::size_t i = 0; i < pushed.size(); ++i) {
        const Comparison& comparison = *pushed[i].comparison;
        sql += std::string(i ? " AND " : " WHERE ") + QuotedSqlIdentifier(pushed[i].field) +
               (comparison.op == Comparison::Operator::kEqual ? " = ?" : " >= ?");
        constants.push_back(comparison.constant);
    }
    return ServerQuery(std::move(sql), std::move(constants));
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
