#include "agenda_db/odbc/postgresql.h"

#include <algorithm>

#include "agenda_db/odbc/driver_manager.h"
#include "core/case_fold.h"
#include "core/text_encoding.h"

namespace infotrakon::agenda_db::odbc::postgresql {
namespace {

// A short UTF-16 text that the driver wrote into `text`, `bytes` long.
std::string Narrow(const SQLWCHAR* text, SQLSMALLINT bytes, std::size_t capacity) {
    const std::size_t units = std::min<std::size_t>(bytes < 0 ? 0 : bytes / 2, capacity - 1);
    return Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(text), units));
}

}  // namespace

bool IsPostgreSql(const Connection& connection) {
    SQLWCHAR name[64] = {};
    SQLSMALLINT length = 0;
    return SQL_SUCCEEDED(
               SQLGetInfoW(connection.dbc->get(), SQL_DBMS_NAME, name, sizeof name, &length)) &&
           EqualsIgnoringCase(Narrow(name, length, 64), "PostgreSQL");
}

void PrepareSession(const Connection& connection, const ServerName& server) {
    const auto run = [&](const char* sql, const std::string& doing) {
        Handle statement(SQL_HANDLE_STMT, connection.dbc->get());
        std::u16string text = Utf8ToUtf16(sql);
        if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), WideArgument(text),
                                          static_cast<SQLINTEGER>(text.size()))))
            Fail(SQL_HANDLE_STMT, statement.get(), server, doing);
    };
    // The driver takes the access mode as a hint only; the server enforces this.
    run("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY", "make the session read-only on");
    run("SET lc_monetary TO 'C'", "read money as money on");
    // Each scan of a table from its first page, not from where another session's scan of it
    // is: the places of a walk's rows are numbered by a second scan, which must meet them in
    // the order of the first.
    run("SET synchronize_seqscans TO off", "scan tables from their start on");
}

bool IsMoneyColumn(SQLHSTMT statement, SQLUSMALLINT column) {
    SQLWCHAR typeName[64] = {};
    SQLSMALLINT length = 0;
    return SQL_SUCCEEDED(SQLColAttributeW(statement, column, SQL_DESC_TYPE_NAME, typeName,
                                          sizeof typeName, &length, nullptr)) &&
           EqualsIgnoringCase(Narrow(typeName, length, 64), "money");
}

}  // namespace infotrakon::agenda_db::odbc::postgresql
