#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "agenda_db/connection_string.h"
#include "panel/data_control.h"

namespace infotrakon::agenda_db {

// Whether the properties of a connection string name an ODBC source: the OLE DB provider
// for ODBC (MSDASQL), or any provider with an ODBC DSN.
bool NamesOdbcSource(const std::vector<ConnectionProperty>& properties);

// The ODBC connection string that the properties describe: the keys of Extended
// Properties, and DSN, DRIVER, SERVER, PORT, DATABASE, UID and PWD given outside them
// (User ID, Password, Initial Catalog and Data Source as OLE DB names them).
std::string OdbcConnectionString(const std::vector<ConnectionProperty>& properties);

// Server connections that record sets have done with, kept for the next record set of the
// same connection string: a start-up opens seven record sets, and every login to a server
// costs round trips and a password hash. A connection left unused for `idleLimit` is closed
// by the pool's own thread; all are closed with the pool. Safe to share between threads.
class OdbcConnectionPool {
  public:
    struct Connection;  // an open connection of the driver
    static constexpr std::size_t kIdlePerSource = 4;

    explicit OdbcConnectionPool(std::chrono::milliseconds idleLimit = std::chrono::minutes(1));
    ~OdbcConnectionPool();
    OdbcConnectionPool(const OdbcConnectionPool&) = delete;
    OdbcConnectionPool& operator=(const OdbcConnectionPool&) = delete;

    // A connection kept for `connectionString`, the most recently used first; null if none.
    std::unique_ptr<Connection> Take(const std::string& connectionString);
    void Give(const std::string& connectionString, std::unique_ptr<Connection> connection);

  private:
    struct Idle;
    void CloseStale(std::stop_token stop);

    const std::chrono::milliseconds idleLimit_;
    std::mutex mutex_;
    std::condition_variable_any given_;
    std::vector<Idle> idle_;
    std::jthread closer_;  // last: it stops and is joined before the rest goes
};

// Connects through unixODBC (or takes a connection from `pool`), runs the record source on
// the server and gives its record set:
// the passing records read whole when first used and kept packed (a static, client-side
// set), the filter evaluated as for Jet and, where the server can do the same, also sent
// along as a WHERE clause with bound parameters. A table is found whatever its letter case.
// Errors name the server and the database, never the password.
std::unique_ptr<panel::Recordset> OpenOdbcRecordset(
    const std::vector<ConnectionProperty>& properties, const std::string& recordSource,
    const panel::DataControlSettings& settings, std::shared_ptr<OdbcConnectionPool> pool);

}  // namespace infotrakon::agenda_db
