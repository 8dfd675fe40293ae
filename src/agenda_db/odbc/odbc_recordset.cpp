#include "agenda_db/odbc/odbc_recordset.h"

#include <optional>

#include "agenda_db/filter.h"
#include "agenda_db/filtered_recordset.h"
#include "agenda_db/odbc/driver_manager.h"
#include "agenda_db/odbc/odbc_connection.h"
#include "agenda_db/odbc/packed_rows.h"
#include "agenda_db/odbc/row_blocks.h"
#include "agenda_db/odbc/server_query.h"
#include "agenda_db/odbc/sql_identifier.h"
#include "agenda_db/record_source.h"
#include "core/case_fold.h"
#include "core/error.h"
#include "core/text_encoding.h"

namespace infotrakon::agenda_db {
namespace {

class OdbcScan;

using odbc::Column;
using odbc::Connection;
using odbc::Fail;
using odbc::Handle;
using odbc::QuotedSqlIdentifier;
using odbc::RowBlocks;
using odbc::ServerQuery;

// A statement run over the given connection, else one of the pool's, else a new one.
struct Ran {
    std::unique_ptr<Connection> connection;
    std::unique_ptr<Handle> statement;  // freed before its connection
    bool succeeded = false;
};

class OdbcRecordset final : public FilteredRecordset {
  public:
    OdbcRecordset(const std::vector<ConnectionProperty>& odbc, std::string connectionString,
                  const std::string& recordSource, const panel::DataControlSettings& settings,
                  std::shared_ptr<OdbcConnectionPool> pool)
        : FilteredRecordset(RecordSourceTable(recordSource)),
          server_(odbc::NameOf(odbc)),
          statement_(odbc::ServerStatement(recordSource)),
          recordSource_(recordSource),
          connectionString_(std::move(connectionString)),
          settings_(settings),
          pool_(std::move(pool)) {
        // Refresh runs the statement, so that a missing table or a refused login shows here,
        // but asks for no rows: the driver's cursor would send its first block at once. The
        // rows are read when first asked for, with the filter that is set by then, over the
        // same connection.
        Ran ran = RunForColumns();
        columns_ = odbc::DescribeColumns(*ran.statement, server_, table());
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
    friend class OdbcScan;

    Ran RunForColumns() {
        const std::string doing = "run \"" + recordSource_ + "\" on";
        ServerQuery query = ServerQuery::ColumnsOf(statement_);
        Ran ran = RunOnAConnection(nullptr, query);
        if (ran.succeeded) return ran;
        // Access finds tables whatever their letter case; so does the panel on a server.
        const std::optional<std::string> sameName = IsMissingTable(*ran.statement)
                                                        ? TableNamedLike(*ran.connection, table())
                                                        : std::nullopt;
        if (!sameName) Fail(SQL_HANDLE_STMT, ran.statement->get(), server_, doing);
        statement_ = "SELECT * FROM " + *sameName;
        query = ServerQuery::ColumnsOf(statement_);
        ran.statement = NewStatement(*ran.connection);
        if (!query.Run(*ran.statement, server_))
            Fail(SQL_HANDLE_STMT, ran.statement->get(), server_, doing);
        return ran;
    }

    // A pooled connection that the server has closed meanwhile is replaced by a new one, once.
    Ran RunOnAConnection(std::unique_ptr<Connection> connection, ServerQuery& query) {
        bool pooled = false;
        if (!connection) {
            connection = pool_->Take(connectionString_);
            pooled = connection != nullptr;
        }
        Ran ran{connection ? std::move(connection) : Connect(), nullptr, false};
        ran.statement = NewStatement(*ran.connection);
        ran.succeeded = query.Run(*ran.statement, server_);
        if (ran.succeeded || !pooled || !odbc::IsDead(*ran.connection, *ran.statement)) return ran;
        ran.statement.reset();
        ran.connection = Connect();
        ran.statement = NewStatement(*ran.connection);
        ran.succeeded = query.Run(*ran.statement, server_);
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

    void Prepare(const Handle& statement) const {
        SQLSetStmtAttrW(
            statement.get(), SQL_ATTR_QUERY_TIMEOUT,
            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(settings_.commandTimeoutSeconds)), 0);
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
        const std::string doing = "list the tables on";
        std::u16string types = Utf8ToUtf16("TABLE,VIEW");
        if (!SQL_SUCCEEDED(SQLTablesW(tables.get(), nullptr, 0, nullptr, 0, nullptr, 0,
                                      odbc::WideArgument(types),
                                      static_cast<SQLSMALLINT>(types.size()))))
            Fail(SQL_HANDLE_STMT, tables.get(), server_, doing);
        const std::vector<Column> columns = odbc::DescribeColumns(tables, server_, "the tables");
        RowBlocks rows(tables, columns, server_, [&](std::string_view) { return doing; });
        std::optional<std::string> found;
        while (rows.Next()) {
            const Variant schema = rows.Value(1);
            const Variant table = rows.Value(2);
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

    std::unique_ptr<RecordScan> Scan(const std::vector<BoundComparison>& filter,
                                     const std::vector<bool>& read) override;

    // The columns that a scan asks the server for: those read, or all of them where their
    // names do not tell them apart.
    std::vector<std::size_t> SelectedColumns(const std::vector<bool>& read) const {
        std::vector<std::size_t> selected;
        for (std::size_t i = 0; i < columns_.size(); ++i)
            if (read[i]) selected.push_back(i);
        if (selected.size() == columns_.size() || HasSameNames()) {
            selected.resize(columns_.size());
            for (std::size_t i = 0; i < selected.size(); ++i) selected[i] = i;
        }
        return selected;
    }

    bool HasSameNames() const {
        for (std::size_t i = 0; i < columns_.size(); ++i)
            for (std::size_t j = i + 1; j < columns_.size(); ++j)
                if (EqualsIgnoringCase(columns_[i].name, columns_[j].name)) return true;
        return false;
    }

    Variant Value(std::size_t record, std::size_t column) override {
        Variant value = rows_.Value(record, keptAt_[column]);
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
    std::shared_ptr<OdbcConnectionPool> pool_;
    std::unique_ptr<Connection> connection_;  // the one Refresh used, until the first read
    PackedRows rows_;                         // of the selected columns
    std::vector<std::size_t> keptAt_;         // where each column is among those selected
};

// The passing rows of the server, a block at a time: the comparisons that the server can
// evaluate as the panel does go to it as the statement's WHERE clause, and every comparison is
// evaluated here as well, so that the answer is the Jet provider's whatever the server did.
// The connection goes back to the pool once the last row is read.
class OdbcScan final : public RecordScan {
  public:
    OdbcScan(OdbcRecordset& set, const std::vector<BoundComparison>& filter,
             const std::vector<std::size_t>& selected)
        : set_(set), filter_(filter) {
        std::vector<odbc::PushedComparison> pushed;
        for (const BoundComparison& bound : filter)
            if (odbc::ServerCanCompare(set.columns_[bound.column].type, bound.comparison.constant))
                pushed.push_back({set.columns_[bound.column].name, &bound.comparison});
        std::vector<std::string> names;
        if (selected.size() < set.columns_.size())
            for (const std::size_t column : selected) names.push_back(set.columns_[column].name);
        for (const std::size_t column : selected) columns_.push_back(set.columns_[column]);
        ServerQuery query = ServerQuery::RowsOf(set.statement_, names, pushed);
        ran_ = set.RunOnAConnection(std::move(set.connection_), query);
        if (!ran_.succeeded) Fail(SQL_HANDLE_STMT, ran_.statement->get(), set.server_, Reading(""));
        rows_.emplace(*ran_.statement, columns_, set.server_,
                      [this](std::string_view field) { return Reading(field); });
    }

    bool Next() override {
        if (!rows_->Next()) {
            rows_.reset();
            ran_.statement.reset();
            set_.pool_->Give(set_.connectionString_, std::move(ran_.connection));
            return false;
        }
        // A filter on a field that holds what the panel cannot take cannot be answered.
        compared_.clear();
        for (const BoundComparison& bound : filter_) {
            compared_.push_back(rows_->Value(set_.keptAt_[bound.column]));
            set_.CheckReadable(compared_.back(), bound.column);
        }
        return true;
    }

    bool Satisfies(const BoundComparison& bound) override {
        return agenda_db::Satisfies(compared_[static_cast<std::size_t>(&bound - filter_.data())],
                                    bound.comparison);
    }

    void Keep() override { rows_->AppendRow(set_.rows_); }

  private:
    std::string Reading(std::string_view field) const {
        const std::string of = "table " + set_.table() + " on";
        return field.empty() ? "read " + of : "read field " + std::string(field) + " of " + of;
    }

    OdbcRecordset& set_;
    const std::vector<BoundComparison>& filter_;
    std::vector<Column> columns_;  // of the result, as selected
    Ran ran_;
    std::optional<RowBlocks> rows_;  // over ran_'s statement
    std::vector<Variant> compared_;  // the current row's values of the filter's fields
};

std::unique_ptr<RecordScan> OdbcRecordset::Scan(const std::vector<BoundComparison>& filter,
                                                const std::vector<bool>& read) {
    const std::vector<std::size_t> selected = SelectedColumns(read);
    keptAt_.assign(columns_.size(), 0);
    for (std::size_t i = 0; i < selected.size(); ++i) keptAt_[selected[i]] = i;
    return std::make_unique<OdbcScan>(*this, filter, selected);
}

}  // namespace

std::unique_ptr<panel::Recordset> OpenOdbcRecordset(
    const std::vector<ConnectionProperty>& properties, const std::string& origin,
    const std::string& recordSource, const panel::DataControlSettings& settings,
    std::shared_ptr<OdbcConnectionPool> pool) {
    const std::vector<ConnectionProperty> odbc =
        AllowedOdbcProperties(OdbcProperties(properties), origin, odbc::InstalledDrivers);
    return std::make_unique<OdbcRecordset>(odbc, OdbcConnectionString(odbc), recordSource, settings,
                                           std::move(pool));
}

std::shared_ptr<OdbcConnectionPool> MakeOdbcConnectionPool(std::chrono::milliseconds idleLimit) {
    return std::make_shared<OdbcConnectionPool>(idleLimit);
}

}  // namespace infotrakon::agenda_db
