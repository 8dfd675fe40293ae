#include "agenda_db/odbc/odbc_recordset.h"

#include <algorithm>
#include <optional>

#include "agenda_db/filter.h"
#include "agenda_db/filtered_recordset.h"
#include "agenda_db/odbc/driver_manager.h"
#include "agenda_db/odbc/odbc_connection.h"
#include "agenda_db/odbc/odbc_values.h"
#include "agenda_db/odbc/packed_rows.h"
#include "agenda_db/odbc/postgresql.h"
#include "agenda_db/record_source.h"
#include "core/case_fold.h"
#include "core/error.h"
#include "core/text_encoding.h"
#include "core/text_form.h"

namespace infotrakon::agenda_db {
namespace {

using odbc::Connection;
using odbc::Fail;
using odbc::Handle;
using odbc::WideArgument;

struct Column {
    std::string name;
    SQLSMALLINT type = 0;
    bool money = false;  // PostgreSQL's money, which its driver calls a float
    // What a value of the column must be, for a column whose values are never texts: a text
    // there is one the panel cannot take.
    const char* isNo = nullptr;
};

const char* WhatItMustBe(SQLSMALLINT type, bool money) {
    if (money) return "no amount of money";
    switch (type) {
        case SQL_NUMERIC:
        case SQL_DECIMAL:
            return "no number";
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIMESTAMP:
            return "no date from the years 100 to 9999";
        default:
            return nullptr;
    }
}

// A comparison the server can evaluate as we do: the column's type takes the constant.
bool ServerCanCompare(const Column& column, const Variant& constant) {
    switch (column.type) {
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

// "SELECT * FROM [a b]" as the server's SQL: brackets become double quotes.
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

class OdbcRecordset final : public FilteredRecordset {
  public:
    OdbcRecordset(const std::vector<ConnectionProperty>& odbc, std::string connectionString,
                  const std::string& recordSource, const panel::DataControlSettings& settings,
                  std::shared_ptr<OdbcConnectionPool> pool)
        : FilteredRecordset(RecordSourceTable(recordSource)),
          server_(odbc::NameOf(odbc)),
          statement_(ServerStatement(recordSource)),
          recordSource_(recordSource),
          connectionString_(std::move(connectionString)),
          settings_(settings),
          pool_(std::move(pool)) {
        // Refresh runs the statement, so that a missing table or a refused login shows here,
        // but asks for no rows: the driver's cursor would send its first block at once. The
        // rows are read when first asked for, with the filter that is set by then, over the
        // same connection.
        const std::string doing = "run \"" + recordSource_ + "\" on";
        Ran ran = RunOnAConnection(nullptr, {}, Rows::kNone);
        if (!ran.succeeded) {
            // Access finds tables whatever their letter case; so does the panel on a server.
            const std::optional<std::string> sameName =
                IsMissingTable(*ran.statement) ? TableNamedLike(*ran.connection, table())
                                               : std::nullopt;
            if (!sameName) Fail(SQL_HANDLE_STMT, ran.statement->get(), server_, doing);
            statement_ = "SELECT * FROM " + *sameName;
            ran.statement = NewStatement(*ran.connection);
            if (!Run(*ran.statement, {}, Rows::kNone))
                Fail(SQL_HANDLE_STMT, ran.statement->get(), server_, doing);
        }
        const Handle& statement = *ran.statement;
        SQLSMALLINT count = 0;
        SQLNumResultCols(statement.get(), &count);
        for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
            SQLWCHAR name[256] = {};
            SQLSMALLINT nameLength = 0, type = 0, scale = 0, nullable = 0;
            SQLULEN size = 0;
            if (!SQL_SUCCEEDED(SQLDescribeColW(statement.get(), i, name, 256, &nameLength, &type,
                                               &size, &scale, &nullable)))
                Fail(SQL_HANDLE_STMT, statement.get(), server_,
                     "describe the columns of " + table() + " on");
            const bool money = odbc::postgresql::IsMoneyColumn(statement.get(), i);
            columns_.push_back(
                {Utf16ToUtf8(std::u16string(
                     reinterpret_cast<char16_t*>(name),
                     static_cast<std::size_t>(std::min<SQLSMALLINT>(nameLength, 255)))),
                 type, money, WhatItMustBe(type, money)});
        }
        ran.statement.reset();
        connection_ = std::move(ran.connection);
    }

    ~OdbcRecordset() override {
        if (!connection_) return;
        try {
            pool_->Give(connectionString_, std::move(connection_));
        } catch (...) {
            // Not kept, so closed: the next record set logs in anew.
        }
    }

    std::vector<std::string> FieldNames() const override {
        std::vector<std::string> names;
        for (const Column& column : columns_) names.push_back(column.name);
        return names;
    }

  private:
    // A statement run over the given connection, else one of the pool's, else a new one. A
    // pooled connection that the server has closed meanwhile is replaced by a new one, once.
    struct Ran {
        std::unique_ptr<Connection> connection;
        std::unique_ptr<Handle> statement;  // freed before its connection
        bool succeeded = false;
    };
    enum class Rows { kPassing, kNone };
    Ran RunOnAConnection(std::unique_ptr<Connection> connection,
                         const std::vector<const BoundComparison*>& pushed, Rows rows) {
        bool pooled = false;
        if (!connection) {
            connection = pool_->Take(connectionString_);
            pooled = connection != nullptr;
        }
        Ran ran{connection ? std::move(connection) : Connect(), nullptr, false};
        ran.statement = NewStatement(*ran.connection);
        ran.succeeded = Run(*ran.statement, pushed, rows);
        if (ran.succeeded || !pooled || !odbc::IsDead(*ran.connection, *ran.statement)) return ran;
        ran.statement.reset();
        ran.connection = Connect();
        ran.statement = NewStatement(*ran.connection);
        ran.succeeded = Run(*ran.statement, pushed, rows);
        return ran;
    }

    std::unique_ptr<Connection> Connect() const {
        return odbc::Connect(connectionString_, server_, settings_);
    }

    std::unique_ptr<Handle> NewStatement(const Connection& connection) const {
        auto statement = std::make_unique<Handle>(SQL_HANDLE_STMT, connection.dbc->get());
        Prepare(*statement);
        return statement;
    }

    void Prepare(Handle& statement) const {
        SQLSetStmtAttrW(
            statement.get(), SQL_ATTR_QUERY_TIMEOUT,
            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(settings_.commandTimeoutSeconds)), 0);
    }

    // Runs the statement with the pushed comparisons as its WHERE clause, or for its columns
    // only; false if it failed.
    bool Run(Handle& statement, const std::vector<const BoundComparison*>& pushed, Rows rows) {
        std::string sql = statement_;
        if (rows == Rows::kNone) {
            sql = "SELECT * FROM (" + statement_ + ") AS agenda_source WHERE 1 = 0";
        } else if (!pushed.empty()) {
            // Field names as identifiers; every value goes as a bound parameter.
            sql = "SELECT * FROM (" + statement_ + ") AS agenda_source WHERE ";
            for (std::size_t i = 0; i < pushed.size(); ++i)
                sql +=
                    std::string(i ? " AND " : "") +
                    QuotedSqlIdentifier(columns_[pushed[i]->column].name) +
                    (pushed[i]->comparison.op == Comparison::Operator::kEqual ? " = ?" : " >= ?");
        }
        parameters_.assign(pushed.size(), {});
        for (std::size_t i = 0; i < pushed.size(); ++i)
            Bind(statement, static_cast<SQLUSMALLINT>(i + 1), pushed[i]->comparison.constant,
                 parameters_[i]);
        std::u16string text = Utf8ToUtf16(sql);
        const SQLRETURN result = SQLExecDirectW(statement.get(), WideArgument(text),
                                                static_cast<SQLINTEGER>(text.size()));
        return SQL_SUCCEEDED(result) || result == SQL_NO_DATA;
    }

    bool IsMissingTable(const Handle& statement) const {
        return odbc::NamesMissingTable(
            odbc::Diagnose(SQL_HANDLE_STMT, statement.get(), server_).state);
    }

    // The table or view of the server whose name is `name` in any letter case, as a
    // qualified identifier; the one spelt exactly so first.
    std::optional<std::string> TableNamedLike(const Connection& connection,
                                              const std::string& name) {
        Handle tables(SQL_HANDLE_STMT, connection.dbc->get());
        Prepare(tables);
        const auto failed = [&] {
            Fail(SQL_HANDLE_STMT, tables.get(), server_, "list the tables on");
        };
        std::u16string types = Utf8ToUtf16("TABLE,VIEW");
        if (!SQL_SUCCEEDED(SQLTablesW(tables.get(), nullptr, 0, nullptr, 0, nullptr, 0,
                                      WideArgument(types), static_cast<SQLSMALLINT>(types.size()))))
            failed();
        std::optional<std::string> found;
        while (SQL_SUCCEEDED(SQLFetch(tables.get()))) {
            const Variant schema = ReadText(tables, 2, failed);
            const Variant table = ReadText(tables, 3, failed);
            const std::string* tableName = table.get<std::string>();
            if (tableName == nullptr || !EqualsIgnoringCase(*tableName, name)) continue;
            const std::string* schemaName = schema.get<std::string>();
            const std::string qualified =
                (schemaName && !schemaName->empty() ? QuotedSqlIdentifier(*schemaName) + "." : "") +
                QuotedSqlIdentifier(*tableName);
            if (*tableName == name) return qualified;
            if (!found) found = qualified;
        }
        return found;
    }

    struct Parameter {
        unsigned char flag = 0;
        SQLBIGINT number = 0;
        SQL_TIMESTAMP_STRUCT timestamp{};
        SQLLEN indicator = 0;
    };

    void Bind(Handle& statement, SQLUSMALLINT index, const Variant& constant,
              Parameter& parameter) {
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
            Fail(SQL_HANDLE_STMT, statement.get(), server_, "bind the filter's values on");
    }

    std::size_t FindRecords(const std::vector<BoundComparison>& filter) override {
        std::vector<const BoundComparison*> pushed;
        for (const BoundComparison& bound : filter)
            if (ServerCanCompare(columns_[bound.column], bound.comparison.constant))
                pushed.push_back(&bound);
        Ran ran = RunOnAConnection(std::move(connection_), pushed, Rows::kPassing);
        if (!ran.succeeded)
            Fail(SQL_HANDLE_STMT, ran.statement->get(), server_, "read table " + table() + " on");
        Handle& statement = *ran.statement;
        ForgetRecords();
        std::vector<Variant> row;
        while (true) {
            const SQLRETURN fetched = SQLFetch(statement.get());
            if (fetched == SQL_NO_DATA) break;
            if (!SQL_SUCCEEDED(fetched))
                Fail(SQL_HANDLE_STMT, statement.get(), server_, "read table " + table() + " on");
            row.clear();
            for (std::size_t i = 0; i < columns_.size(); ++i) row.push_back(Read(statement, i));
            // A filter on a field that holds what the panel cannot take cannot be answered.
            for (const BoundComparison& bound : filter)
                CheckReadable(row[bound.column], bound.column);
            // Our own test as well: the same answer as the Jet provider's, whatever the server did.
            if (!Passes(filter, [&](std::size_t column) { return row[column]; })) continue;
            CheckCountable(rows_.size());
            rows_.Append(row);
        }
        ran.statement.reset();
        pool_->Give(connectionString_, std::move(ran.connection));
        return rows_.size();
    }

    Variant Value(std::size_t record, std::size_t column) override {
        Variant value = rows_.Value(record, column);
        CheckReadable(value, column);
        return value;
    }

    void ForgetRecords() override { rows_.Clear(); }

    // A value the panel cannot take (a date Access cannot hold) is kept as the driver's text
    // in a column whose values are never texts, and raised only when its field is read: the
    // record's other fields stay readable.
    void CheckReadable(const Variant& value, std::size_t column) const {
        const std::string* text = value.get<std::string>();
        if (text == nullptr || columns_[column].isNo == nullptr) return;
        throw Error(error_number::kTypeMismatch, "Field " + columns_[column].name + " of table " +
                                                     table() + " holds \"" + *text +
                                                     "\", which is " + columns_[column].isNo +
                                                     " that the panel can show");
    }

    // A field of the fetched row.
    Variant Read(Handle& statement, std::size_t index) {
        const auto column = static_cast<SQLUSMALLINT>(index + 1);
        SQLLEN indicator = 0;
        const auto failed = [&] {
            Fail(SQL_HANDLE_STMT, statement.get(), server_,
                 "read field " + columns_[index].name + " of table " + table() + " on");
        };
        // A text of the driver's as the value `parse` makes of it; kept as the text when it
        // makes none.
        const auto parsed = [&](const auto& parse) -> Variant {
            std::optional<std::string> text =
                ReadWhole<std::string>(statement, column, SQL_C_CHAR, failed);
            if (!text) return Null{};
            if (auto value = parse(*text)) return *value;
            return std::move(*text);
        };
        if (columns_[index].money) return parsed(ServerMoney);
        switch (columns_[index].type) {
            case SQL_BIT: {
                unsigned char flag = 0;
                if (!SQL_SUCCEEDED(
                        SQLGetData(statement.get(), column, SQL_C_BIT, &flag, 0, &indicator)))
                    failed();
                return indicator == SQL_NULL_DATA ? Variant(Null{}) : Variant(flag != 0);
            }
            case SQL_TINYINT:
            case SQL_SMALLINT:
            case SQL_INTEGER:
            case SQL_BIGINT: {
                SQLBIGINT number = 0;
                if (!SQL_SUCCEEDED(
                        SQLGetData(statement.get(), column, SQL_C_SBIGINT, &number, 0, &indicator)))
                    failed();
                return indicator == SQL_NULL_DATA ? Variant(Null{})
                                                  : Variant(static_cast<std::int64_t>(number));
            }
            case SQL_REAL:
            case SQL_FLOAT:
            case SQL_DOUBLE: {
                double number = 0;
                if (!SQL_SUCCEEDED(
                        SQLGetData(statement.get(), column, SQL_C_DOUBLE, &number, 0, &indicator)))
                    failed();
                return indicator == SQL_NULL_DATA ? Variant(Null{}) : Variant(number);
            }
            case SQL_NUMERIC:
            case SQL_DECIMAL:
                // As text, of any length: a numeric column may hold thousands of digits.
                return parsed(ServerNumber);
            case SQL_TYPE_DATE:
            case SQL_TYPE_TIMESTAMP:
                // As text: for a year it cannot hold (PostgreSQL's go to 294276) the driver
                // fills its date structure with today, where its text says zeros.
                return parsed(ServerDate);
            case SQL_GUID: {
                // In the form a Jet replication ID has.
                const Variant text = ReadText(statement, column, failed);
                const std::string* digits = text.get<std::string>();
                if (digits == nullptr) return text;
                std::string guid = "{";
                for (const char c : *digits) guid += c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c;
                return Guid{guid + "}"};
            }
            case SQL_BINARY:
            case SQL_VARBINARY:
            case SQL_LONGVARBINARY:
                return ReadBytes(statement, column, failed);
            default:
                return ReadText(statement, column, failed);
        }
    }

    // A value as long as it is, in pieces of `type` into a std::string, std::u16string or
    // byte vector; nullopt for Null. Each piece of a text ends in a terminating zero.
    template <typename Whole, typename Failed>
    std::optional<Whole> ReadWhole(Handle& statement, SQLUSMALLINT column, SQLSMALLINT type,
                                   const Failed& failed) {
        using Unit = typename Whole::value_type;
        constexpr std::size_t kPiece = 4096;
        const std::size_t capacity = type == SQL_C_BINARY ? kPiece : kPiece - 1;
        Unit piece[kPiece];
        Whole whole;
        while (true) {
            SQLLEN indicator = 0;
            const SQLRETURN result =
                SQLGetData(statement.get(), column, type, piece, sizeof piece, &indicator);
            if (result == SQL_NO_DATA) break;
            if (!SQL_SUCCEEDED(result)) failed();
            if (indicator == SQL_NULL_DATA) return std::nullopt;
            const std::size_t got =
                indicator == SQL_NO_TOTAL ||
                        static_cast<std::size_t>(indicator) / sizeof(Unit) > capacity
                    ? capacity
                    : static_cast<std::size_t>(indicator) / sizeof(Unit);
            whole.insert(whole.end(), piece, piece + got);
            if (result == SQL_SUCCESS) break;
        }
        return whole;
    }

    template <typename Failed>
    Variant ReadText(Handle& statement, SQLUSMALLINT column, const Failed& failed) {
        const auto text = ReadWhole<std::u16string>(statement, column, SQL_C_WCHAR, failed);
        return text ? Variant(Utf16ToUtf8(*text)) : Variant(Null{});
    }

    template <typename Failed>
    Variant ReadBytes(Handle& statement, SQLUSMALLINT column, const Failed& failed) {
        auto bytes = ReadWhole<std::vector<std::uint8_t>>(statement, column, SQL_C_BINARY, failed);
        return bytes ? Variant(Binary{std::move(*bytes)}) : Variant(Null{});
    }

    std::optional<std::size_t> FindColumn(const std::string& name) const override {
        for (std::size_t i = 0; i < columns_.size(); ++i)
            if (EqualsIgnoringCase(columns_[i].name, name)) return i;
        return std::nullopt;
    }

    odbc::ServerName server_;
    std::string statement_;
    std::string recordSource_;
    std::string connectionString_;
    panel::DataControlSettings settings_;
    std::vector<Column> columns_;
    std::vector<Parameter> parameters_;
    std::shared_ptr<OdbcConnectionPool> pool_;
    std::unique_ptr<Connection> connection_;  // the one Refresh used, until the first read
    PackedRows rows_;
};

}  // namespace

std::unique_ptr<panel::Recordset> OpenOdbcRecordset(
    const std::vector<ConnectionProperty>& properties, const std::string& recordSource,
    const panel::DataControlSettings& settings, std::shared_ptr<OdbcConnectionPool> pool) {
    return std::make_unique<OdbcRecordset>(OdbcProperties(properties),
                                           OdbcConnectionString(properties), recordSource, settings,
                                           std::move(pool));
}

std::shared_ptr<OdbcConnectionPool> MakeOdbcConnectionPool(std::chrono::milliseconds idleLimit) {
    return std::make_shared<OdbcConnectionPool>(idleLimit);
}

}  // namespace infotrakon::agenda_db
