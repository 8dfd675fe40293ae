#pragma once

#include <optional>
#include <string>
#include <vector>

#include "agenda_db/filter.h"
#include "agenda_db/odbc/driver_manager.h"
#include "agenda_db/odbc/odbc_connection.h"
#include "agenda_db/odbc/row_blocks.h"
#include "core/date.h"
#include "core/variant.h"

// The statements that a server's record set runs: the record source in the server's SQL, and
// the comparisons of the filter that the server can evaluate sent along as its WHERE clause.
namespace infotrakon::agenda_db::odbc {

// The record source as the server's SQL: "SELECT * FROM [a b]" with the brackets as double
// quotes, any other statement as it is, without its closing semicolons.
std::string ServerStatement(const std::string& recordSource);

// Whether the server evaluates a comparison of a column of this ODBC type with `constant` as
// the panel does: the column's type takes the constant.
bool ServerCanCompare(SQLSMALLINT columnType, const Variant& constant);

// A comparison for the server's WHERE clause, by the name of its field.
struct PushedComparison {
    std::string field;
    const Comparison* comparison;
};

// The day hint for the server's WHERE clause: the field, of a date or time-stamp column, and
// the whole days it takes.
struct PushedDays {
    std::string field;
    Date first;
    Date last;
};

// A field asked for, and how its values travel: one carried as a number comes in two
// columns, the number, and beside it the field itself where the number cannot carry it.
struct SelectedField {
    std::string name;
    Carried carried = Carried::kAsItIs;
};

// The name of the column that gives a row's place among those the filter passes.
inline constexpr const char* kPlaceColumn = "agenda_place";
inline constexpr const char* kCountColumn = "agenda_count";
inline constexpr const char* kUnreadableColumn = "agenda_unreadable";

// One statement to run: its text and the constants it binds as parameters.
class ServerQuery {
  public:
    // The statement for its columns only: the server checks it, and sends no row.
    static ServerQuery ColumnsOf(const std::string& statement);
    // The `selected` fields (no names, every field) of the statement's rows that pass the
    // comparisons, every constant a bound parameter. With a day hint (PostgreSQL's SQL), the
    // rows that it leaves out do not come; those that do come in the order of the rows
    // passing the comparisons, which the server scans as it would without the hint.
    static ServerQuery RowsOf(const std::string& statement,
                              const std::vector<SelectedField>& selected,
                              const std::vector<PushedComparison>& pushed,
                              const std::optional<PushedDays>& days = std::nullopt);
    // The rows of RowsOf for a walk whose count the server gives: each comes after the count
    // of them all (kCountColumn), then the number of the rows passing the comparisons, the
    // day hint aside, whose `dateFields` hold a date the panel cannot read
    // (kUnreadableColumn). The server counts in the same statement, so the count is that of
    // the rows it sends.
    static ServerQuery CountedRowsOf(const std::string& statement,
                                     const std::vector<SelectedField>& selected,
                                     const std::vector<PushedComparison>& pushed,
                                     const std::optional<PushedDays>& days,
                                     const std::vector<std::string>& dateFields);

    // For a query with a day hint: the places (kPlaceColumn) of its rows among the rows that
    // pass the comparisons, row for row, numbered by a scan of their own. The server gives
    // both in one order where it scans a snapshot alike twice (PostgreSQL, its synchronized
    // scans off).
    ServerQuery PlacesOfRows() const;

    // Binds the constants and runs the query; false if the server refused it.
    bool Run(const Handle& statement, const ServerName& server);

  private:
    struct Parameter {
        unsigned char flag = 0;
        SQLBIGINT number = 0;
        SQL_TIMESTAMP_STRUCT timestamp{};
        SQLLEN indicator = 0;
    };

    ServerQuery(std::string sql, std::vector<Variant> constants);
    // `selected` of the rows of `passing` in the days of the hint.
    static ServerQuery InDays(const std::string& selected, const std::string& passing,
                              std::vector<Variant> constants, const PushedDays& days);
    void Bind(const Handle& statement, const ServerName& server);

    std::string sql_;
    std::vector<Variant> constants_;
    // Of a query with a day hint: the rows passing the comparisons, the constants of their
    // statement, and the hint.
    std::string passing_;
    std::vector<Variant> passingConstants_;
    std::optional<PushedDays> days_;
    std::vector<Parameter> parameters_;  // as bound, until the query has run
};

}  // namespace infotrakon::agenda_db::odbc
