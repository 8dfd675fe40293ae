#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "agenda_db/odbc/driver_manager.h"
#include "agenda_db/odbc/odbc_connection.h"
#include "core/variant.h"

// The columns of a statement's result and the reading of its rows, a block of rows per call
// into the driver manager.
namespace infotrakon::agenda_db::odbc {

// How the values of a field travel from the server: as the driver gives the column's type, or
// as a number that the server forms, a bigint the driver hands over without parsing text. A
// value the number cannot carry comes in the next column of the result instead, as the
// driver gives the field's own type.
enum class Carried {
    kAsItIs,
    kDateAsSeconds,  // a date or time stamp: whole seconds since 1970-01-01 00:00:00
};

// A column of the result as the panel reads it.
struct Column {
    std::string name;
    SQLSMALLINT type = 0;
    SQLULEN size = 0;    // as the driver describes it: characters of a text, digits of a number
    bool money = false;  // PostgreSQL's money, which its driver calls a float
    // What a value of the column must be, for a column whose values are never texts: a text
    // there is one the panel cannot take.
    const char* isNo = nullptr;
    Carried carried = Carried::kAsItIs;
};

// What the panel was reading, for the message of a failure: the field named, or with no
// field, the rows; "read table agenda on", say.
using ReadingWhat = std::function<std::string(std::string_view field)>;

// The columns of the statement's result; `table` is for the message of a driver that
// cannot describe them.
std::vector<Column> DescribeColumns(const Handle& statement, const ServerName& server,
                                    const std::string& table);

// The rows of a statement that has run, fetched into buffers bound column by column, so that
// one call gives a block of rows. A value longer than its buffer is read whole on its own,
// as is every value of a row the driver could not put into the buffers.
class RowBlocks {
  public:
    RowBlocks(const Handle& statement, const std::vector<Column>& columns, const ServerName& server,
              ReadingWhat reading);
    RowBlocks(const RowBlocks&) = delete;
    RowBlocks& operator=(const RowBlocks&) = delete;

    // Moves to the next row; false past the last.
    bool Next();
    // A field of the current row, as the Jet provider gives the like Access field; a text
    // the panel cannot take as a number, an amount or a date stays that text. A field carried
    // as a number is read from its column and, where that is Null, from the next.
    Variant Value(std::size_t column);

  private:
    // What the buffer of a column holds, and the value it makes.
    enum class Reading {
        kFlag,
        kInteger,
        kDouble,
        kNumber,
        kMoney,
        kDate,
        kGuid,
        kText,
        kBytes,
        kSeconds
    };
    struct Binding {
        Reading reading;
        SQLSMALLINT cType;
        std::size_t width;  // bytes for one value, a text's terminating zero included
        std::vector<std::uint8_t> values;
        std::vector<SQLLEN> lengths;
    };
    // A field's bytes as the driver gives them; data is null for Null.
    struct Cell {
        const std::uint8_t* data;
        std::size_t size;
    };

    static Binding BindingFor(const Column& column);
    void Bind(std::size_t rowsPerBlock);
    void BindColumns();
    Cell CellOf(std::size_t column);
    Cell ReadAlone(std::size_t column);
    [[noreturn]] void CannotRead(std::size_t column) const;

    const Handle& statement_;
    const std::vector<Column>& columns_;
    const ServerName& server_;
    ReadingWhat reading_;
    std::vector<Binding> bindings_;
    std::vector<SQLUSMALLINT> statuses_;
    SQLULEN fetched_ = 0;  // rows of the current block
    std::size_t row_ = 0;  // the current row within the block
    bool ended_ = false;
    bool bound_ = false;               // the buffers to the driver's columns
    std::vector<std::uint8_t> whole_;  // the value last read on its own
};

}  // namespace infotrakon::agenda_db::odbc
