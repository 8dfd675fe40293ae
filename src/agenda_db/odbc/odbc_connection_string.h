#pragma once

#include <functional>
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

// The ODBC keys a data link may hold: the source (DSN or DRIVER), the server, its port, the
// database, the user and the password. The driver options are the panel's own.
inline constexpr const char* kAllowedOdbcKeys[] = {"DSN",      "DRIVER", "SERVER", "PORT",
                                                   "DATABASE", "UID",    "PWD"};

// The ODBC keys `odbc` checked before anything reaches the driver manager, whose drivers and
// keys can load libraries and write files: every key must be one of kAllowedOdbcKeys, and a
// DRIVER must name one of `installedDrivers` (its name as installed is used); DSNs are the
// administrator's own and pass. Raises an Error naming `origin` (the data link) and the key
// or driver otherwise. `installedDrivers` is asked for only when a DRIVER is given.
std::vector<ConnectionProperty> AllowedOdbcProperties(
    std::vector<ConnectionProperty> odbc, const std::string& origin,
    const std::function<std::vector<std::string>()>& installedDrivers);

// The ODBC connection string of ODBC keys, with the driver options the panel reads by.
std::string OdbcConnectionString(const std::vector<ConnectionProperty>& odbc);

}  // namespace infotrakon::agenda_db
