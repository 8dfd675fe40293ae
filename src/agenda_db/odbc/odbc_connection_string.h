#pragma once

#include <string>
#include <vector>

#include "agenda_db/connection_string.h"

// A data control's connection string read as one for ODBC: whether it names an ODBC source,
// and the connection string the driver manager takes.
namespace infotrakon::agenda_db {

// Whether the properties of a connection string name an ODBC source: the OLE DB provider
// for ODBC (MSDASQL), or any provider with an ODBC DSN.
bool NamesOdbcSource(const std::vector<ConnectionProperty>& properties);

// The ODBC keys that the properties give: those of Extended Properties, and DSN, DRIVER,
// SERVER, PORT, DATABASE, UID and PWD given outside them (User ID, Password, Initial Catalog
// and Data Source as OLE DB names them); those inside win.
std::vector<ConnectionProperty> OdbcProperties(const std::vector<ConnectionProperty>& properties);

// The ODBC connection string of those keys, with the driver options the panel reads by.
std::string OdbcConnectionString(const std::vector<ConnectionProperty>& properties);

}  // namespace infotrakon::agenda_db
