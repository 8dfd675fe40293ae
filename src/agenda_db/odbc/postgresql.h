#pragma once

#include <string>

#include "agenda_db/odbc/driver_manager.h"
#include "agenda_db/odbc/odbc_connection.h"

// What PostgreSQL and its ODBC driver do their own way, in one place.
namespace infotrakon::agenda_db::odbc::postgresql {

// Whether the connection is to a PostgreSQL server.
bool IsPostgreSql(const Connection& connection);

// Sets up a new session for reading: every transaction read-only, money written in the C
// locale, whatever the server's monetary locale, so that its text is the same everywhere, and
// every scan of a table from its start. Changes the session only.
void PrepareSession(const Connection& connection, const ServerName& server);

// Whether column `column` of the statement's result is of the type money, which the driver
// describes as a float.
bool IsMoneyColumn(SQLHSTMT statement, SQLUSMALLINT column);

// The SQLSTATE of a statement the server cancelled when the command time-out ran out.
inline bool CancelledAtTimeout(const std::string& state) { return state == "57014"; }

// The SQLSTATE of a statement naming a table the server does not have.
inline bool NamesMissingTable(const std::string& state) { return state == "42P01"; }

}  // namespace infotrakon::agenda_db::odbc::postgresql
