#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "agenda_db/connection_string.h"
#include "agenda_db/odbc/driver_manager.h"
#include "agenda_db/odbc/odbc_connection_string.h"
#include "core/error.h"
#include "panel/recordset.h"

// Reaching a database server through unixODBC: connection strings, handles, diagnostics
// turned into errors, logging in, and the connections kept between record sets.
namespace infotrakon::agenda_db {

namespace odbc {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC's wide characters are UTF-16");

inline SQLWCHAR* WideArgument(std::u16string& text) {
    return reinterpret_cast<SQLWCHAR*>(text.data());
}

// Where the server is, for messages: never the password.
struct ServerName {
    std::string text;
    std::string password;  // to keep it out of any message the driver writes
};
ServerName NameOf(const std::vector<ConnectionProperty>& odbc);

// The names of the drivers the driver manager has installed.
std::vector<std::string> InstalledDrivers();

// The diagnostics of a failed call, joined; the password, should a driver echo it, masked.
struct Diagnostic {
    std::string state;
    std::string message;
};
Diagnostic Diagnose(SQLSMALLINT type, SQLHANDLE handle, const ServerName& server);
// The message with every occurrence of the password written as "***".
std::string MaskPassword(std::string message, const std::string& password);

// Whether a SQLSTATE says the statement named a table the server does not have.
bool NamesMissingTable(const std::string& state);

// Raises the error of a failed call: "Cannot <doing> <server>: <the driver's reason>".
// `timedOut` for a call that failed once its time-out had passed: drivers report a login that
// timed out as any other failure to connect.
[[noreturn]] void Fail(SQLSMALLINT type, SQLHANDLE handle, const ServerName& server,
                       const std::string& doing, bool timedOut = false);

// One ODBC handle, freed with its owner.
class Handle {
  public:
    Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &handle_)))
            throw Error(error_number::kOutOfMemory, "ODBC cannot allocate a handle");
    }
    ~Handle() {
        if (type_ == SQL_HANDLE_DBC && connected_) SQLDisconnect(handle_);
        SQLFreeHandle(type_, handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    SQLHANDLE get() const { return handle_; }
    void MarkConnected() { connected_ = true; }

  private:
    SQLSMALLINT type_;
    SQLHANDLE handle_ = nullptr;
    bool connected_ = false;
};

// An open connection of the driver.
struct Connection {
    std::unique_ptr<Handle> env;
    std::unique_ptr<Handle> dbc;  // freed before its environment
};

// Logs in with the data control's connect time-out, asking for a read-only connection. On
// PostgreSQL the session is read-only and writes money in the C locale.
std::unique_ptr<Connection> Connect(const std::string& connectionString, const ServerName& server,
                                    const panel::DataControlSettings& settings);

// Whether the server has dropped the connection, as the driver or the failed statement's
// diagnostics tell.
bool IsDead(const Connection& connection, const Handle& failed);

}  // namespace odbc

// Server connections that record sets have done with, kept for the next record set of the
// same connection string: a start-up opens seven record sets, and every login to a server
// costs round trips and a password hash. The panel has no thread of its own, so a connection
// left unused for `idleLimit` is closed when the pool is next used; all are closed with the
// pool. Used on the host's thread only, as the panel is.
class OdbcConnectionPool {
  public:
    static constexpr std::size_t kIdlePerSource = 4;

    explicit OdbcConnectionPool(std::chrono::milliseconds idleLimit = std::chrono::minutes(1));
    ~OdbcConnectionPool();
    OdbcConnectionPool(const OdbcConnectionPool&) = delete;
    OdbcConnectionPool& operator=(const OdbcConnectionPool&) = delete;

    // A connection kept for `connectionString`, the most recently used first; null if none.
    std::unique_ptr<odbc::Connection> Take(const std::string& connectionString);
    void Give(const std::string& connectionString, std::unique_ptr<odbc::Connection> connection);

  private:
    struct Idle;
    void CloseStale();

    const std::chrono::milliseconds idleLimit_;
    std::vector<Idle> idle_;  // oldest first
};

}  // namespace infotrakon::agenda_db
