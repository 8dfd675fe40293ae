#include "agenda_db/odbc/odbc_connection.h"

#include <algorithm>
#include <chrono>
#include <initializer_list>

#include "agenda_db/odbc/driver_manager.h"
#include "agenda_db/odbc/postgresql.h"
#include "core/case_fold.h"
#include "core/text_encoding.h"

namespace infotrakon::agenda_db {

namespace odbc {

ServerName NameOf(const std::vector<ConnectionProperty>& odbc) {
    const auto get = [&](std::initializer_list<const char*> keys) -> std::string {
        for (const char* key : keys)
            if (auto value = FindProperty(odbc, key)) return *value;
        return "";
    };
    ServerName name;
    const std::string dsn = get({"DSN"});
    const std::string server = get({"SERVER"});
    const std::string port = get({"PORT"});
    const std::string database = get({"DATABASE"});
    name.text = dsn.empty() ? "the server " + (server.empty() ? std::string("(default)") : server)
                            : "the ODBC source " + dsn;
    if (!port.empty()) name.text += ", port " + port;
    if (!database.empty()) name.text += ", database " + database;
    name.password = get({"PWD"});
    return name;
}

std::vector<std::string> InstalledDrivers() {
    Handle env(SQL_HANDLE_ENV, nullptr);
    SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    std::vector<std::string> names;
    SQLWCHAR name[512];
    SQLWCHAR attributes[2048];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT attributesLength = 0;
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;; direction = SQL_FETCH_NEXT) {
        if (!SQL_SUCCEEDED(SQLDriversW(env.get(), direction, name, 512, &nameLength, attributes,
                                       2048, &attributesLength)))
            return names;
        names.push_back(Utf16ToUtf8(
            std::u16string(reinterpret_cast<char16_t*>(name),
                           static_cast<std::size_t>(std::clamp<SQLSMALLINT>(nameLength, 0, 511)))));
    }
}

Diagnostic Diagnose(SQLSMALLINT type, SQLHANDLE handle, const ServerName& server) {
    Diagnostic diagnostic;
    for (SQLSMALLINT record = 1; record <= 4; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR text[1024] = {};
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(
                SQLGetDiagRecW(type, handle, record, state, &native, text, 1024, &length)))
            break;
        if (diagnostic.state.empty())
            diagnostic.state = Utf16ToUtf8(std::u16string(reinterpret_cast<char16_t*>(state), 5));
        std::string line = Utf16ToUtf8(
            std::u16string(reinterpret_cast<char16_t*>(text),
                           static_cast<std::size_t>(std::min<SQLSMALLINT>(length, 1023))));
        while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
        if (!diagnostic.message.empty()) diagnostic.message += "; ";
        diagnostic.message += line;
    }
    diagnostic.message = MaskPassword(diagnostic.message, server.password);
    return diagnostic;
}

std::string MaskPassword(std::string message, const std::string& password) {
    if (password.empty()) return message;
    const std::string mask = "***";
    for (std::size_t at = message.find(password); at != std::string::npos;
         at = message.find(password, at + mask.size()))
        message.replace(at, password.size(), mask);
    return message;
}

bool NamesMissingTable(const std::string& state) {
    return state == "42S02" || postgresql::NamesMissingTable(state);
}

void Fail(SQLSMALLINT type, SQLHANDLE handle, const ServerName& server, const std::string& doing,
          bool timedOut) {
    const Diagnostic diagnostic = Diagnose(type, handle, server);
    int number = error_number::kProviderError;
    if (NamesMissingTable(diagnostic.state)) number = error_number::kNoSuchTable;
    if (timedOut || diagnostic.state == "HYT00" || diagnostic.state == "HYT01" ||
        postgresql::CancelledAtTimeout(diagnostic.state))
        number = error_number::kTimeout;
    throw Error(
        number,
        "Cannot " + doing + " " + server.text + ": " +
            (diagnostic.message.empty() ? "the driver gave no reason" : diagnostic.message) +
            (diagnostic.state.empty() ? "" : " (SQLSTATE " + diagnostic.state + ")"));
}

std::unique_ptr<Connection> Connect(const std::string& connectionString, const ServerName& server,
                                    const panel::DataControlSettings& settings) {
    auto connection = std::make_unique<Connection>();
    connection->env = std::make_unique<Handle>(SQL_HANDLE_ENV, nullptr);
    SQLSetEnvAttr(connection->env->get(), SQL_ATTR_ODBC_VERSION,
                  reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    connection->dbc = std::make_unique<Handle>(SQL_HANDLE_DBC, connection->env->get());
    SQLSetConnectAttrW(
        connection->dbc->get(), SQL_ATTR_LOGIN_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(settings.connectionTimeoutSeconds)), 0);
    SQLSetConnectAttrW(
        connection->dbc->get(), SQL_ATTR_CONNECTION_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(settings.commandTimeoutSeconds)), 0);
    // The panel writes nothing: a driver that honours the access mode refuses writes itself.
    SQLSetConnectAttrW(connection->dbc->get(), SQL_ATTR_ACCESS_MODE,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_MODE_READ_ONLY)), 0);
    std::u16string text = Utf8ToUtf16(connectionString);
    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const auto start = std::chrono::steady_clock::now();
    const SQLRETURN result = SQLDriverConnectW(connection->dbc->get(), nullptr, WideArgument(text),
                                               static_cast<SQLSMALLINT>(text.size()), out, 1024,
                                               &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(result)) {
        const bool timedOut = settings.connectionTimeoutSeconds > 0 &&
                              std::chrono::steady_clock::now() - start >=
                                  std::chrono::seconds(settings.connectionTimeoutSeconds);
        Fail(SQL_HANDLE_DBC, connection->dbc->get(), server,
             timedOut
                 ? "connect within " + std::to_string(settings.connectionTimeoutSeconds) + " s to"
                 : "connect to",
             timedOut);
    }
    connection->dbc->MarkConnected();
    if (postgresql::IsPostgreSql(*connection)) postgresql::PrepareSession(*connection, server);
    return connection;
}

bool IsDead(const Connection& connection, const Handle& failed) {
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (SQL_SUCCEEDED(SQLGetConnectAttrW(connection.dbc->get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0,
                                         nullptr)) &&
        dead == SQL_CD_TRUE)
        return true;
    // 08: the connection exceptions of SQL.
    return Diagnose(SQL_HANDLE_STMT, failed.get(), {}).state.starts_with("08");
}

}  // namespace odbc

struct OdbcConnectionPool::Idle {
    std::string connectionString;
    std::unique_ptr<odbc::Connection> connection;
    std::chrono::steady_clock::time_point since;
};

OdbcConnectionPool::OdbcConnectionPool(std::chrono::milliseconds idleLimit)
    : idleLimit_(idleLimit) {}

OdbcConnectionPool::~OdbcConnectionPool() = default;

std::unique_ptr<odbc::Connection> OdbcConnectionPool::Take(const std::string& connectionString) {
    CloseStale();
    for (auto idle = idle_.rbegin(); idle != idle_.rend(); ++idle)
        if (idle->connectionString == connectionString) {
            std::unique_ptr<odbc::Connection> connection = std::move(idle->connection);
            idle_.erase(std::next(idle).base());
            return connection;
        }
    return nullptr;
}

void OdbcConnectionPool::Give(const std::string& connectionString,
                              std::unique_ptr<odbc::Connection> connection) {
    CloseStale();
    const auto kept = std::count_if(idle_.begin(), idle_.end(), [&](const Idle& idle) {
        return idle.connectionString == connectionString;
    });
    if (static_cast<std::size_t>(kept) >= kIdlePerSource) return;
    idle_.push_back({connectionString, std::move(connection), std::chrono::steady_clock::now()});
}

void OdbcConnectionPool::CloseStale() {
    // Given one after the other, the connections stand oldest first.
    const auto now = std::chrono::steady_clock::now();
    const auto fresh = std::find_if(idle_.begin(), idle_.end(), [&](const Idle& idle) {
        return now - idle.since < idleLimit_;
    });
    idle_.erase(idle_.begin(), fresh);
}

}  // namespace infotrakon::agenda_db
