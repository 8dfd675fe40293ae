#include "agenda_db/odbc/odbc_recordset.h"

#include <algorithm>
#include <optional>

#include "agenda_db/filter.h"
#include "agenda_db/filtered_recordset.h"
#include "agenda_db/odbc/driver_manager.h"
#include "agenda_db/odbc/odbc_connection.h"
#include "agenda_db/odbc/postgresql.h"
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
class OdbcRows;

using odbc::Column;
using odbc::Connection;
using odbc::Fail;
using odbc::Handle;
using odbc::QuotedSqlIdentifier;
using odbc::RowBlocks;
using odbc::ServerName;
using odbc::ServerQuery;

// A read-only snapshot of the server for the count and the walks of one selection: a
// repeatable-read transaction, rolled back at its end, after which the connection commits
// each statement on its own again, as the pool keeps it.
class Snapshot {
  public:
    Snapshot(const Connection& connection, const ServerName& server)
        : connection_(connection.dbc->get()) {
        // A driver that has no such level still reads in one transaction; the walk then
        // raises an error where the table gives fewer records than it counted.
        SQLSetConnectAttrW(
            connection_, SQL_ATTR_TXN_ISOLATION,
            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_TXN_REPEATABLE_READ)), 0);
        if (!SQL_SUCCEEDED(SQLSetConnectAttrW(
                connection_, SQL_ATTR_AUTOCOMMIT,
                reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_AUTOCOMMIT_OFF)), 0)))
            Fail(SQL_HANDLE_DBC, connection_, server, "begin a read-only snapshot on");
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    ~Snapshot() {
        SQLEndTran(SQL_HANDLE_DBC, connection_, SQL_ROLLBACK);
        SQLSetConnectAttrW(connection_, SQL_ATTR_AUTOCOMMIT,
                           reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_AUTOCOMMIT_ON)),
                           0);
    }

  private:
    SQLHDBC connection_;
};

// A statement run over one of the pool's connections, else a new one, in a snapshot where asked.
struct Ran {
    std::unique_ptr<Connection> connection;
    std::unique_ptr<Snapshot> snapshot;  // ended before its connection is let go
    std::unique_ptr<Handle> statement;   // freed before both
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
        postgres_ = odbc::postgresql::IsPostgreSql(*ran.connection);
        ran.statement.reset();
        reading_.connection = std::move(ran.connection);
    }

    ~OdbcRecordset() override { ForgetRecords(); }

    std::vector<std::string> FieldNames() const override {
        std::vector<std::string> names;
        for (const Column& column : columns_) names.push_back(column.name);
        return names;
    }

  private:
    friend class OdbcScan;
    friend class OdbcRows;

    // How a selection is read from the server.
    struct ServerPlan {
        std::vector<odbc::PushedComparison> pushed;
        std::optional<odbc::PushedDays> days;
        // Every comparison went to the server, which then counts as the panel would.
        bool countedOnServer = false;
        bool trusted = false;  // the count is the server's, and so is the choice of rows
        std::vector<std::string> dateFields;      // of the filter, for a trusted count
        std::vector<odbc::SelectedField> fields;  // asked for; none for all of them
        std::vector<Column> columns;              // of the rows: the count, the unreadable
        std::vector<std::size_t> at;   // where each field is among the columns of the rows
        std::size_t unreadableAt = 0;  // of a trusted count
    };

    Ran RunForColumns() {
        const std::string doing = "run \"" + recordSource_ + "\" on";
        ServerQuery query = ServerQuery::ColumnsOf(statement_);
        Ran ran = RunOnAConnection(query, false);
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
    // With `inSnapshot`, the query runs in a snapshot begun on the connection.
    Ran RunOnAConnection(ServerQuery& query, bool inSnapshot) {
        Ran ran;
        ran.connection = pool_->Take(connectionString_);
        const bool pooled = ran.connection != nullptr;
        if (!pooled) ran.connection = Connect();
        RunOn(ran, query, inSnapshot);
        if (ran.succeeded || !pooled || !odbc::IsDead(*ran.connection, *ran.statement)) return ran;
        ran.statement.reset();
        ran.snapshot.reset();
        ran.connection = Connect();
        RunOn(ran, query, inSnapshot);
        return ran;
    }

    // Runs `query` on the connection of `ran`, beginning a snapshot there first where asked.
    void RunOn(Ran& ran, ServerQuery& query, bool beginSnapshot) const {
        if (beginSnapshot) ran.snapshot = std::make_unique<Snapshot>(*ran.connection, server_);
        ran.statement = NewStatement(*ran.connection);
        ran.succeeded = query.Run(*ran.statement, server_);
    }

    void GiveBack(std::unique_ptr<Connection> connection) {
        if (!connection) return;
        try {
            pool_->Give(connectionString_, std::move(connection));
        } catch (...) {
            // Not kept, so closed: the next record set logs in anew.
        }
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

    // With `trusted`, the server counts the rows as it sends them, and the rows it sends
    // pass: only the fields the reader asks for need come.
    ServerPlan PlanFor(const Selection& selection, bool trusted) const {
        ServerPlan plan;
        plan.trusted = trusted;
        const Column number{"", SQL_BIGINT, 0, false, nullptr};
        if (trusted) plan.columns.push_back(number);  // the count
        for (const BoundComparison& bound : selection.filter)
            if (odbc::ServerCanCompare(columns_[bound.column].type, bound.comparison.constant))
                plan.pushed.push_back({columns_[bound.column].name, &bound.comparison});
        plan.countedOnServer = plan.pushed.size() == selection.filter.size();
        const std::vector<std::size_t> selected =
            SelectedColumns(trusted ? selection.kept : selection.read);
        // The server leaves rows out only where it counts as the panel does, so that it can
        // number them: PostgreSQL, whose scans of a snapshot give its rows in one order.
        if (selection.days && plan.countedOnServer && postgres_ && !HasSameNames() &&
            IsDateColumn(columns_[selection.days->column]))
            plan.days = odbc::PushedDays{columns_[selection.days->column].name,
                                         selection.days->first, selection.days->last};
        if (trusted) {
            for (const BoundComparison& bound : selection.filter)
                if (IsDateColumn(columns_[bound.column]))
                    plan.dateFields.push_back(columns_[bound.column].name);
            plan.unreadableAt = plan.columns.size();
            plan.columns.push_back(number);
        }
        // Fields named one by one where their names tell them apart, a date carried as a number
        // where the server forms one; the field of the day hint stays as it is, for the
        // hint's condition to name.
        const bool named = !HasSameNames();
        plan.at.assign(columns_.size(), 0);
        for (const std::size_t column : selected) {
            Column field = columns_[column];
            if (named && !(plan.days && plan.days->field == field.name))
                field.carried = CarriedAs(field);
            if (named) plan.fields.push_back({field.name, field.carried});
            plan.at[column] = plan.columns.size();
            plan.columns.push_back(field);
            // Beside a number, the field as it is, for what the number cannot carry.
            if (field.carried != odbc::Carried::kAsItIs) plan.columns.push_back(columns_[column]);
        }
        return plan;
    }

    // How the server can send a column's values as numbers: PostgreSQL forms a date's seconds
    // in the statement, so that neither its driver nor the panel parses the date's text.
    // Amounts stay as they are: the server's numeric arithmetic costs more than their text.
    odbc::Carried CarriedAs(const Column& column) const {
        return postgres_ && IsDateColumn(column) ? odbc::Carried::kDateAsSeconds
                                                 : odbc::Carried::kAsItIs;
    }

    static bool IsDateColumn(const Column& column) {
        return column.type == SQL_TYPE_DATE || column.type == SQL_TYPE_TIMESTAMP;
    }

    std::size_t Count(const Selection& selection) override;
    std::unique_ptr<SelectedRecords> Select(const Selection& selection) override;

    // Runs a query of the count or of a walk in the snapshot, which it begins on the first.
    const Handle& RunInSnapshot(ServerQuery query) {
        rows_.reset();
        ForgetPlaces();
        if (reading_.connection)
            RunOn(reading_, query, !reading_.snapshot);
        else
            reading_ = RunOnAConnection(query, true);
        if (!reading_.succeeded)
            Fail(SQL_HANDLE_STMT, reading_.statement->get(), server_, Reading(""));
        walk_ = std::move(query);
        return *reading_.statement;
    }

    // The place among the rows passing the comparisons of the `row`th row (from 1) that the
    // walk's query with a day hint gave. Only an error's message asks for one, so the walk
    // numbers no row: a second query numbers them, in the snapshot, read as far as asked.
    std::int32_t PlaceOfRow(std::size_t row) {
        if (!places_ || placesRead_ > row) StartPlaces();
        for (; placesRead_ < row; ++placesRead_)
            if (!places_->Next())
                throw Error(error_number::kNoCurrentRecord,
                            "Table " + table() + " gave the places of fewer records than " +
                                std::to_string(row) + " on " + server_.text +
                                ": it changed while it was read");
        const Variant place = places_->Value(0);
        const std::int64_t* number = place.get<std::int64_t>();
        return number ? static_cast<std::int32_t>(*number) : 0;
    }

    void StartPlaces() {
        ForgetPlaces();
        ServerQuery query = walk_->PlacesOfRows();
        placesStatement_ = NewStatement(*reading_.connection);
        if (!query.Run(*placesStatement_, server_))
            Fail(SQL_HANDLE_STMT, placesStatement_->get(), server_, Reading(""));
        places_.emplace(*placesStatement_, kPlaceColumns, server_,
                        [this](std::string_view field) { return Reading(field); });
    }

    void ForgetPlaces() {
        places_.reset();
        placesStatement_.reset();
        placesRead_ = 0;
    }

    std::string Reading(std::string_view field) const {
        const std::string of = "table " + table() + " on";
        return field.empty() ? "read " + of : "read field " + std::string(field) + " of " + of;
    }

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

    // Ends the walk and the snapshot; the connection goes back to the pool.
    void ForgetRecords() override {
        counted_.reset();
        rows_.reset();
        ForgetPlaces();
        reading_.statement.reset();
        reading_.snapshot.reset();
        GiveBack(std::move(reading_.connection));
    }

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
    bool postgres_ = false;  // the server forms numbers of dates
    std::shared_ptr<OdbcConnectionPool> pool_;
    ServerPlan plan_;  // of the count and the walks
    // The connection that Refresh used, then the snapshot and the query of the count or of the
    // walk, until the records are let go.
    Ran reading_;
    std::optional<RowBlocks> rows_;    // of the walk's query
    std::optional<ServerQuery> walk_;  // that query, whose rows the places are numbered for
    // The places of the walk's rows, where one was asked for, and how many of them were read.
    inline static const std::vector<Column> kPlaceColumns{{"", SQL_BIGINT, 0, false, nullptr}};
    std::unique_ptr<Handle> placesStatement_;
    std::optional<RowBlocks> places_;
    std::size_t placesRead_ = 0;
    // The first walk, whose first row the count was read from.
    std::unique_ptr<SelectedRecords> counted_;
};

// The rows of the walk's query as the selection asks about them: a field that holds what the
// panel cannot take raises its error where it is read, the filter's fields included.
class OdbcScan final : public RecordScan {
  public:
    explicit OdbcScan(OdbcRecordset& set) : set_(set) {}

    bool Next() override {
        if (!set_.rows_->Next()) return false;
        ++given_;
        return true;
    }
    // How many rows the server gave.
    std::size_t Given() const { return given_; }

    bool Satisfies(const BoundComparison& bound) override {
        return agenda_db::Satisfies(Value(bound.column), bound.comparison);
    }

    bool InDays(const BoundDays& days) override {
        const Variant value = set_.rows_->Value(set_.plan_.at[days.column]);
        const Date* date = value.get<Date>();
        return date == nullptr || (days.first <= date->WholeDay() && date->WholeDay() <= days.last);
    }

    Variant Value(std::size_t column) override {
        Variant value = set_.rows_->Value(set_.plan_.at[column]);
        set_.CheckReadable(value, column);
        return value;
    }

  private:
    OdbcRecordset& set_;
    std::size_t given_ = 0;
};

// The passing rows of the server, a block at a time: the comparisons that the server can
// evaluate as the panel does go to it as the statement's WHERE clause, and every comparison is
// evaluated here as well, so that the answer is the Jet provider's whatever the server did.
class OdbcRows final : public SelectedRecords {
  public:
    OdbcRows(OdbcRecordset& set, const Selection& selection)
        : set_(set), selection_(set.plan_.trusted ? Selection{} : selection), scan_(set) {
        const OdbcRecordset::ServerPlan& plan = set.plan_;
        const Handle& statement = set.RunInSnapshot(
            plan.trusted
                ? ServerQuery::CountedRowsOf(set.statement_, plan.fields, plan.pushed, plan.days,
                                             plan.dateFields)
                : ServerQuery::RowsOf(set.statement_, plan.fields, plan.pushed, plan.days));
        set.rows_.emplace(statement, plan.columns, set.server_,
                          [&set](std::string_view field) { return set.Reading(field); });
    }

    // The server's count, read from the first row, which the walk then begins with; nullopt
    // where a field of the filter holds a date that the panel cannot read, which only the
    // panel's own walk raises as it should.
    std::optional<std::size_t> ServerCount() {
        if (!scan_.Next()) return 0;
        firstAhead_ = true;
        if (Number(set_.plan_.unreadableAt) > 0) return std::nullopt;
        return Number(0);  // the count comes first
    }

    bool Next() override {
        if (firstAhead_) {
            firstAhead_ = false;
            ++place_;
            return true;
        }
        return NextSelected(scan_, selection_, place_);
    }

    // The panel's own count, or where the server left rows out, the place it numbers.
    std::int32_t Place() const override {
        return set_.plan_.days ? set_.PlaceOfRow(scan_.Given()) : place_;
    }

    Variant Value(std::size_t column) override { return scan_.Value(column); }

  private:
    std::size_t Number(std::size_t column) const {
        const Variant value = set_.rows_->Value(column);
        const std::int64_t* number = value.get<std::int64_t>();
        return number && *number > 0 ? static_cast<std::size_t>(*number) : 0;
    }

    OdbcRecordset& set_;
    Selection selection_;  // what is left to the panel to select
    OdbcScan scan_;
    std::int32_t place_ = 0;
    bool firstAhead_ = false;  // the first row was read for the count
};

std::size_t OdbcRecordset::Count(const Selection& selection) {
    plan_ = PlanFor(selection, false);
    if (plan_.countedOnServer) {
        plan_ = PlanFor(selection, true);
        auto rows = std::make_unique<OdbcRows>(*this, selection);
        if (const std::optional<std::size_t> counted = rows->ServerCount()) {
            CheckCountable(*counted);
            counted_ = std::move(rows);
            return *counted;
        }
        plan_ = PlanFor(selection, false);
    }
    // Only the panel can tell which rows pass, or raise on a field of the filter that it
    // cannot read: it counts them in a walk of its own.
    std::size_t count = 0;
    for (OdbcRows rows(*this, selection); rows.Next(); ++count) CheckCountable(count);
    return count;
}

std::unique_ptr<SelectedRecords> OdbcRecordset::Select(const Selection& selection) {
    if (counted_) return std::move(counted_);
    return std::make_unique<OdbcRows>(*this, selection);
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
