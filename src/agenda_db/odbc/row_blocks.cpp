#include "agenda_db/odbc/row_blocks.h"

#include <algorithm>
#include <cstring>

#include "agenda_db/odbc/odbc_values.h"
#include "agenda_db/odbc/postgresql.h"
#include "core/text_encoding.h"

namespace infotrakon::agenda_db::odbc {
namespace {

// The buffers of a block take about this much; a block has at most kMostRowsPerBlock rows,
// as many as the driver asks of the server at a time.
constexpr std::size_t kBlockBytes = 1 << 20;
constexpr std::size_t kMostRowsPerBlock = 1000;
// The widths of a buffer for a value given as text: numbers, amounts, dates and GUIDs are
// short; a longer text is read whole on its own.
constexpr std::size_t kShortTextBytes = 64;
constexpr std::size_t kMostTextUnits = 256;

const char* WhatItMustBe(SQLSMALLINT type, bool money) {
    if (money) return "no amount of money";
    switch (type) {
        case SQL_NUMERIC:
        case SQL_DECIMAL:
            return "no number";
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIMESTAMP:
            return "no date from the years 100 to 9999";
        default:
            return nullptr;
    }
}

// A buffer for the column's texts: a character may take two UTF-16 units.
std::size_t TextUnits(SQLULEN size) {
    return size > 0 && size < kMostTextUnits / 2 ? 2 * size + 1 : kMostTextUnits;
}

std::size_t TerminatorOf(SQLSMALLINT cType) {
    return cType == SQL_C_CHAR ? 1 : cType == SQL_C_WCHAR ? sizeof(SQLWCHAR) : 0;
}

template <typename T>
T Fixed(const std::uint8_t* data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

// A text of the driver's as the value `parse` makes of it; kept as the text when it makes
// none.
template <typename Parse>
Variant Parsed(std::string_view text, const Parse& parse) {
    if (auto value = parse(text)) return *value;
    return std::string(text);
}

// The UTF-16 units of a wide text the driver gave.
std::u16string_view TextOf(const std::uint8_t* data, std::size_t bytes) {
    return {reinterpret_cast<const char16_t*>(data), bytes / sizeof(char16_t)};
}

// A GUID in the form a Jet replication ID has.
Guid JetGuid(std::string_view digits) {
    std::string guid = "{";
    for (const char c : digits) guid += c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
    return Guid{guid + "}"};
}

// Whole seconds since 1970-01-01 00:00:00 as the date and time of day they name.
Date DateOfSeconds(std::int64_t seconds) {
    constexpr std::int64_t kDay = 86400;
    const std::int64_t days = seconds / kDay - (seconds % kDay < 0 ? 1 : 0);
    static const std::int64_t kFirstDayOf1970 = Date::FromCivil(1970, 1, 1).dayNumber();
    return Date::FromDayNumber(kFirstDayOf1970 + days, static_cast<int>(seconds - days * kDay));
}

}  // namespace

std::vector<Column> DescribeColumns(const Handle& statement, const ServerName& server,
                                    const std::string& table) {
    SQLSMALLINT count = 0;
    SQLNumResultCols(statement.get(), &count);
    std::vector<Column> columns;
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0, type = 0, scale = 0, nullable = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(statement.get(), i, name, 256, &nameLength, &type, &size,
                                           &scale, &nullable)))
            Fail(SQL_HANDLE_STMT, statement.get(), server,
                 "describe the columns of " + table + " on");
        const bool money = postgresql::IsMoneyColumn(statement.get(), i);
        columns.push_back(
            {Utf16ToUtf8(std::u16string_view(
                 reinterpret_cast<const char16_t*>(name),
                 static_cast<std::size_t>(std::clamp<SQLSMALLINT>(nameLength, 0, 255)))),
             type, size, money, WhatItMustBe(type, money)});
    }
    return columns;
}

RowBlocks::RowBlocks(const Handle& statement, const std::vector<Column>& columns,
                     const ServerName& server, ReadingWhat reading)
    : statement_(statement), columns_(columns), server_(server), reading_(std::move(reading)) {
    std::size_t rowBytes = sizeof(SQLUSMALLINT);
    for (const Column& column : columns_) {
        bindings_.push_back(BindingFor(column));
        rowBytes += bindings_.back().width + sizeof(SQLLEN);
    }
    Bind(std::clamp<std::size_t>(kBlockBytes / rowBytes, 1, kMostRowsPerBlock));
}

RowBlocks::Binding RowBlocks::BindingFor(const Column& column) {
    if (column.carried == Carried::kDateAsSeconds)
        return {Reading::kSeconds, SQL_C_SBIGINT, sizeof(SQLBIGINT), {}, {}};
    if (column.money) return {Reading::kMoney, SQL_C_CHAR, kShortTextBytes, {}, {}};
    switch (column.type) {
        case SQL_BIT:
            return {Reading::kFlag, SQL_C_BIT, sizeof(unsigned char), {}, {}};
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT:
            return {Reading::kInteger, SQL_C_SBIGINT, sizeof(SQLBIGINT), {}, {}};
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return {Reading::kDouble, SQL_C_DOUBLE, sizeof(double), {}, {}};
        case SQL_NUMERIC:
        case SQL_DECIMAL:
            // As text, of any length: a numeric column may hold thousands of digits.
            return {Reading::kNumber, SQL_C_CHAR, kShortTextBytes, {}, {}};
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIMESTAMP:
            // As text: for a year it cannot hold (PostgreSQL's go to 294276) the driver
            // fills its date structure with today, where its text says zeros.
            return {Reading::kDate, SQL_C_CHAR, kShortTextBytes, {}, {}};
        case SQL_GUID:
            return {Reading::kGuid, SQL_C_CHAR, kShortTextBytes, {}, {}};
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            return {Reading::kBytes, SQL_C_BINARY, kMostTextUnits, {}, {}};
        default:
            return {Reading::kText, SQL_C_WCHAR, TextUnits(column.size) * sizeof(SQLWCHAR), {}, {}};
    }
}

void RowBlocks::Bind(std::size_t rowsPerBlock) {
    const auto attribute = [&](SQLINTEGER name, SQLPOINTER value) {
        if (!SQL_SUCCEEDED(SQLSetStmtAttr(statement_.get(), name, value, 0)))
            Fail(SQL_HANDLE_STMT, statement_.get(), server_, reading_(""));
    };
    statuses_.assign(rowsPerBlock, SQL_ROW_NOROW);
    attribute(SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN));
    attribute(SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rowsPerBlock));
    attribute(SQL_ATTR_ROW_STATUS_PTR, statuses_.data());
    attribute(SQL_ATTR_ROWS_FETCHED_PTR, &fetched_);
    for (Binding& binding : bindings_) {
        binding.values.resize(binding.width * rowsPerBlock);
        binding.lengths.resize(rowsPerBlock);
    }
    BindColumns();
}

void RowBlocks::BindColumns() {
    for (std::size_t i = 0; i < bindings_.size(); ++i) {
        Binding& binding = bindings_[i];
        if (!SQL_SUCCEEDED(SQLBindCol(statement_.get(), static_cast<SQLUSMALLINT>(i + 1),
                                      binding.cType, binding.values.data(),
                                      static_cast<SQLLEN>(binding.width), binding.lengths.data())))
            CannotRead(i);
    }
    bound_ = true;
}

bool RowBlocks::Next() {
    if (++row_ < fetched_) return true;
    if (!ended_ && !bound_) BindColumns();
    while (!ended_) {
        const SQLRETURN result = SQLFetch(statement_.get());
        if (result == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(result)) Fail(SQL_HANDLE_STMT, statement_.get(), server_, reading_(""));
        row_ = 0;
        if (fetched_ > 0) return true;
    }
    ended_ = true;
    fetched_ = 0;
    return false;
}

RowBlocks::Cell RowBlocks::CellOf(std::size_t column) {
    const Binding& binding = bindings_[column];
    const SQLLEN length = binding.lengths[row_];
    if (statuses_[row_] == SQL_ROW_ERROR || length == SQL_NO_TOTAL ||
        (length >= 0 &&
         static_cast<std::size_t>(length) + TerminatorOf(binding.cType) > binding.width))
        return ReadAlone(column);
    if (length == SQL_NULL_DATA) return {nullptr, 0};
    const std::size_t size =
        binding.cType == SQL_C_CHAR || binding.cType == SQL_C_WCHAR || binding.cType == SQL_C_BINARY
            ? static_cast<std::size_t>(length)
            : binding.width;
    return {binding.values.data() + row_ * binding.width, size};
}

// The whole of a value, in pieces, with the current row made the cursor's position.
RowBlocks::Cell RowBlocks::ReadAlone(std::size_t column) {
    // Reading a bound column on its own is an extension that not every driver has: the
    // block's columns are set free until the next block.
    if (bound_ && !SQL_SUCCEEDED(SQLFreeStmt(statement_.get(), SQL_UNBIND))) CannotRead(column);
    bound_ = false;
    if (!SQL_SUCCEEDED(SQLSetPos(statement_.get(), static_cast<SQLSETPOSIROW>(row_ + 1),
                                 SQL_POSITION, SQL_LOCK_NO_CHANGE)))
        CannotRead(column);
    const SQLSMALLINT cType = bindings_[column].cType;
    std::uint8_t piece[8192];
    const std::size_t capacity = sizeof piece - TerminatorOf(cType);
    whole_.clear();
    while (true) {
        SQLLEN length = 0;
        const SQLRETURN result = SQLGetData(statement_.get(), static_cast<SQLUSMALLINT>(column + 1),
                                            cType, piece, sizeof piece, &length);
        if (result == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(result)) CannotRead(column);
        if (length == SQL_NULL_DATA) return {nullptr, 0};
        const std::size_t got =
            length == SQL_NO_TOTAL || static_cast<std::size_t>(length) > capacity
                ? capacity
                : static_cast<std::size_t>(length);
        whole_.insert(whole_.end(), piece, piece + got);
        if (result == SQL_SUCCESS) break;
    }
    // A value of no bytes still is one, not Null.
    static const std::uint8_t kNoBytes = 0;
    return {whole_.empty() ? &kNoBytes : whole_.data(), whole_.size()};
}

void RowBlocks::CannotRead(std::size_t column) const {
    Fail(SQL_HANDLE_STMT, statement_.get(), server_, reading_(columns_[column].name));
}

Variant RowBlocks::Value(std::size_t column) {
    const Cell cell = CellOf(column);
    const Reading reading = bindings_[column].reading;
    if (cell.data == nullptr)
        return reading == Reading::kSeconds ? Value(column + 1) : Variant(Null{});
    const std::string_view text(reinterpret_cast<const char*>(cell.data), cell.size);
    switch (reading) {
        case Reading::kFlag:
            return Fixed<unsigned char>(cell.data) != 0;
        case Reading::kInteger:
            return static_cast<std::int64_t>(Fixed<SQLBIGINT>(cell.data));
        case Reading::kDouble:
            return Fixed<double>(cell.data);
        case Reading::kNumber:
            return Parsed(text, ServerNumber);
        case Reading::kMoney:
            return Parsed(text, ServerMoney);
        case Reading::kDate:
            return Parsed(text, ServerDate);
        case Reading::kGuid:
            return JetGuid(text);
        case Reading::kBytes:
            return Binary{std::vector<std::uint8_t>(cell.data, cell.data + cell.size)};
        case Reading::kText:
            return Utf16ToUtf8(TextOf(cell.data, cell.size));
        case Reading::kSeconds:
            return DateOfSeconds(Fixed<SQLBIGINT>(cell.data));
    }
    return Null{};
}

}  // namespace infotrakon::agenda_db::odbc
