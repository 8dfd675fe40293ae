#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "agenda_db/connection_string.h"
#include "panel/recordset.h"

// The ODBC provider as the rest of the data control sees it; nothing of the driver
// manager's headers shows through.
namespace infotrakon::agenda_db {

// Server connections kept between record sets (odbc_connection.h).
class OdbcConnectionPool;

// A pool whose connections close once idle for `idleLimit`.
std::shared_ptr<OdbcConnectionPool> MakeOdbcConnectionPool(
    std::chrono::milliseconds idleLimit = std::chrono::minutes(1));

// Connects through unixODBC (or takes a connection from `pool`), runs the record source on
// the server and gives its record set: the passing records read whole when first used and
// kept packed (a static, client-side set), the filter evaluated as for Jet and, where the
// server can do the same, also sent along as a WHERE clause with bound parameters. A table is found
// whatever its letter case. Errors name the server and the database, never the password.
// Only the ODBC keys a data link may hold reach the driver manager (AllowedOdbcProperties);
// `origin` names where the properties come from, for its errors.
std::unique_ptr<panel::Recordset> OpenOdbcRecordset(
    const std::vector<ConnectionProperty>& properties, const std::string& origin,
    const std::string& recordSource, const panel::DataControlSettings& settings,
    std::shared_ptr<OdbcConnectionPool> pool);

}  // namespace infotrakon::agenda_db
