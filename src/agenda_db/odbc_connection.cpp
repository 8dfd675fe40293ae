#include "agenda_db/odbc_connection.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>

#include "core/case_fold.h"
#include "core/text_encoding.h"

namespace infotrakon::agenda_db {
namespace {

std::string OdbcValue(const std::string& value) {
    // A value with a separator or a brace goes in braces, a closing brace doubled.
    if (value.find_first_of(";{}") == std::string::npos) return value;
    std::string braced = "{";
    for (const char c : value) {
        braced += c;
        if (c == '}') braced += '}';
    }
    return braced + "}";
}

// An ODBC connection string: "key=value;" pairs, a value in {braces} may hold anything, "}}"
// standing for "}". The braces are taken off.
std::vector<ConnectionProperty> ParseOdbcConnectionString(const std::string& text) {
    std::vector<ConnectionProperty> properties;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t equals = text.find('=', i);
        const std::size_t semicolon = text.find(';', i);
        if (equals == std::string::npos || (semicolon != std::string::npos && semicolon < equals)) {
            if (semicolon == std::string::npos) break;
            i = semicolon + 1;  // a piece without a value is skipped, as drivers do
            continue;
        }
        std::string key = text.substr(i, equals - i);
        while (!key.empty() && key.front() == ' ') key.erase(key.begin());
        while (!key.empty() && key.back() == ' ') key.pop_back();
        i = equals + 1;
        std::string value;
        if (i < text.size() && text[i] == '{') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '}') {
                    if (i + 1 < text.size() && text[i + 1] == '}') {
                        value += '}';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text[i++];
            }
            const std::size_t end = text.find(';', i);
            i = end == std::string::npos ? text.size() : end + 1;
        } else {
            const std::size_t end = text.find(';', i);
            value = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? text.size() : end + 1;
        }
        if (!key.empty()) properties.push_back({key, value});
    }
    return properties;
}

}  // namespace

std::vector<ConnectionProperty> OdbcProperties(const std::vector<ConnectionProperty>& properties) {
    std::vector<ConnectionProperty> odbc;
    if (const auto extended = FindProperty(properties, "Extended Properties"))
        odbc = ParseOdbcConnectionString(*extended);
    // Keys outside Extended Properties, in their ODBC names; those inside win.
    const std::pair<const char*, const char*> outside[] = {
        {"DSN", "DSN"},           {"DRIVER", "DRIVER"},
        {"SERVER", "SERVER"},     {"PORT", "PORT"},
        {"DATABASE", "DATABASE"}, {"UID", "UID"},
        {"PWD", "PWD"},           {"User ID", "UID"},
        {"Password", "PWD"},      {"Initial Catalog", "DATABASE"},
        {"Data Source", "DSN"}};
    for (const auto& [oleDbKey, odbcKey] : outside)
        if (!FindProperty(odbc, odbcKey))
            if (const auto value = FindProperty(properties, oleDbKey))
                odbc.push_back({odbcKey, *value});
    return odbc;
}

bool NamesOdbcSource(const std::vector<ConnectionProperty>& properties) {
    const auto provider = FindProperty(properties, "Provider");
    if (provider &&
        (EqualsIgnoringCase(*provider, "MSDASQL") || EqualsIgnoringCase(*provider, "MSDASQL.1")))
        return true;
    if (FindProperty(properties, "DSN")) return true;
    if (const auto extended = FindProperty(properties, "Extended Properties"))
        return FindProperty(ParseOdbcConnectionString(*extended), "DSN").has_value();
    return false;
}

std::string OdbcConnectionString(const std::vector<ConnectionProperty>& properties) {
    std::string text;
    for (const ConnectionProperty& property : OdbcProperties(properties))
        text += property.key + "=" + OdbcValue(property.value) + ";";
    // Booleans as booleans and rows read through a cursor, so that running a statement does
    // not pull a whole table before its filter is known.
    text += "BoolsAsChar=0;UseDeclareFetch=1;Fetch=1000;";
    return text;
}

namespace odbc {
namespace {

bool IsPostgreSql(const Connection& connection) {
    SQLWCHAR name[64] = {};
    SQLSMALLINT length = 0;
    return SQL_SUCCEEDED(
               SQLGetInfoW(connection.dbc->get(), SQL_DBMS_NAME, name, sizeof name, &length)) &&
           EqualsIgnoringCase(Utf16ToUtf8(std::u16string(reinterpret_cast<char16_t*>(name),
                                                         std::min<std::size_t>(length / 2, 63))),
                              "PostgreSQL");
}

// PostgreSQL writes money in the format of the server's monetary locale, which only the
// server knows; in the C locale the text is the same everywhere. This sets the session
// only.
void WriteMoneyInC(const Connection& connection, const ServerName& server) {
    Handle statement(SQL_HANDLE_STMT, connection.dbc->get());
    std::u16string text = Wide("SET lc_monetary TO 'C'");
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), WideArgument(text),
                                      static_cast<SQLINTEGER>(text.size()))))
        Fail(SQL_HANDLE_STMT, statement.get(), server, "read money as money on");
}

}  // namespace

std::u16string Wide(const std::string& utf8) { return Utf8ToUtf16(utf8); }

ServerName NameOf(const std::vector<ConnectionProperty>& odbc) {
    const auto get = [&](std::initializer_list<const char*> keys) -> std::string {
        for (const char* key : keys)
            if (auto value = FindProperty(odbc, key)) return *value;
        return "";
    };
    ServerName name;
    const std::string dsn = get({"DSN"});
    const std::string server = get({"SERVER", "Servername"});
    const std::string port = get({"PORT"});
    const std::string database = get({"DATABASE"});
    name.text = dsn.empty() ? "the server " + (server.empty() ? std::string("(default)") : server)
                            : "the ODBC source " + dsn;
    if (!port.empty()) name.text += ", port " + port;
    if (!database.empty()) name.text += ", database " + database;
    name.password = get({"PWD", "Password"});
    return name;
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

bool NamesMissingTable(const std::string& state) { return state == "42P01" || state == "42S02"; }

void Fail(SQLSMALLINT type, SQLHANDLE handle, const ServerName& server, const std::string& doing,
          bool timedOut) {
    const Diagnostic diagnostic = Diagnose(type, handle, server);
    int number = error_number::kProviderError;
    if (NamesMissingTable(diagnostic.state)) number = error_number::kNoSuchTable;
    // 57014: the server cancelled the statement when the command time-out ran out.
    if (timedOut || diagnostic.state == "HYT00" || diagnostic.state == "HYT01" ||
        diagnostic.state == "57014")
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
    std::u16string text = Wide(connectionString);
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
    if (IsPostgreSql(*connection)) WriteMoneyInC(*connection, server);
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
    : idleLimit_(idleLimit), closer_([this](std::stop_token stop) { CloseStale(stop); }) {}

OdbcConnectionPool::~OdbcConnectionPool() = default;

std::unique_ptr<odbc::Connection> OdbcConnectionPool::Take(const std::string& connectionString) {
    const std::lock_guard lock(mutex_);
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
    {
        const std::lock_guard lock(mutex_);
        const auto kept = std::count_if(idle_.begin(), idle_.end(), [&](const Idle& idle) {
            return idle.connectionString == connectionString;
        });
        if (static_cast<std::size_t>(kept) >= kIdlePerSource) return;
        idle_.push_back(
            {connectionString, std::move(connection), std::chrono::steady_clock::now()});
    }
    given_.notify_one();
}

void OdbcConnectionPool::CloseStale(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        // Given one after the other, the connections stand oldest first.
        const auto now = std::chrono::steady_clock::now();
        const auto fresh = std::find_if(idle_.begin(), idle_.end(), [&](const Idle& idle) {
            return now - idle.since < idleLimit_;
        });
        std::vector<Idle> stale(std::make_move_iterator(idle_.begin()),
                                std::make_move_iterator(fresh));
        idle_.erase(idle_.begin(), fresh);
        if (!stale.empty()) {
            // Logging off may wait for the server; the pool serves others meanwhile.
            lock.unlock();
            stale.clear();
            lock.lock();
            continue;
        }
        if (idle_.empty()) {
            given_.wait(lock, stop, [&] { return !idle_.empty(); });
        } else {
            given_.wait_until(lock, stop, idle_.front().since + idleLimit_, [] { return false; });
        }
    }
}

}  // namespace infotrakon::agenda_db
