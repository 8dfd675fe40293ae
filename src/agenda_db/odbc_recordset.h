#pragma once

#include <memory>
#include <string>
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

// Connects through unixODBC, runs the record source on the server and gives its record set:
// the passing records read whole when first used and kept packed (a static, client-side
// set), the filter evaluated as for Jet and, where the server can do the same, also sent
// along as a WHERE clause with bound parameters. A table is found whatever its letter case.
// Errors name the server and the database, never the password.
std::unique_ptr<panel::Recordset> OpenOdbcRecordset(
    const std::vector<ConnectionProperty>& properties, const std::string& recordSource,
    const panel::DataControlSettings& settings);

}  // namespace infotrakon::agenda_db
