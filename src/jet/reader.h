#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/file_system.h"
#include "core/variant.h"
#include "jet/format.h"

// A read-only reader of Jet 3 and Jet 4 database files. It trusts nothing in the file:
// every page number, offset, length and chain is checked, so that a damaged file gives an
// Error naming the file and what was wrong, never a crash, a hang or a runaway allocation.
namespace infotrakon::jet {

struct ColumnInfo {
    std::string name;  // UTF-8
    ColumnType type = ColumnType::kLong;
    std::uint16_t number = 0;  // the column's bit in the row's null mask
    std::uint16_t variableIndex = 0;
    std::uint16_t fixedOffset = 0;
    std::uint16_t length = 0;
    bool fixed = false;
    std::uint8_t precision = 0;
    std::uint8_t scale = 0;
};

// Where a row lies: a data page and the row's slot on it.
struct RowPosition {
    std::uint32_t page = 0;
    std::uint16_t slot = 0;
};

class Database;

// A table's definition as its definition pages give it; columns in their stored order.
struct TableInfo {
    std::string name;
    std::uint32_t definitionPage = 0;
    std::vector<ColumnInfo> columns;
    std::uint16_t variableColumnCount = 0;
    std::vector<std::uint32_t> dataPages;  // from the usage map, ascending

    // The column of that name without regard to letter case, as Jet matches names.
    std::optional<std::size_t> FindColumn(std::string_view name) const;
};

// A Boolean or whole-number field of a row as stored, for comparing it without making a
// value of it: a Boolean as -1 or 0.
struct StoredNumber {
    enum class Kind { kNull, kNumber, kOther };  // kOther: a type of another kind
    Kind kind = Kind::kOther;
    double number = 0;
};

// A test of a row's stored bytes that a scan makes before it reads the row, so that it can pass
// over the rows a filter is sure to fail: a Boolean's bit, a fixed whole number against a
// number, a fixed date against the first OLE date from 0 on that reads as a date or later.
struct StoredTest {
    enum class Kind { kFlag, kNumber, kOleDateFrom };
    Kind kind = Kind::kFlag;
    std::size_t column = 0;
    bool whenSet = false;    // kFlag: whether a row with the bit set passes
    bool whenClear = false;  // and one with it clear
    bool equal = false;      // kNumber: "=" rather than ">="
    double constant = 0;     // kNumber's number, kOleDateFrom's OLE date
};

// A day range a scan tests a row's stored date against, once the tests pass it: the OLE dates
// from `first` up to `afterLast`, both from 0 on.
struct StoredDays {
    std::size_t column = 0;
    double first = 0;
    double afterLast = 0;
};

// A forward walk over the live rows of one table. Values are decoded only when asked for.
class TableCursor {
  public:
    TableCursor(const Database& database, const TableInfo& table);

    // Moves to the next live row; false when there is none.
    bool Next();
    // Before the first Next: Next is to pass over the rows that fail one of the tests. Where a test
    // cannot tell (a Null date, a date before 1900, bytes that do not fit in the row), the row is
    // not passed over, whatever the other tests say: the reader meets it, and any error it holds
    // where the filter's own order reaches it.
    // With `days`, the tests are the whole of a filter: Next passes over as well the rows that
    // the tests pass and whose date falls outside the days, and counts them.
    void PassOver(std::vector<StoredTest> tests, std::optional<StoredDays> days);
    // The rows passed over for their date since the last call.
    std::size_t TakeOutsideDays() { return std::exchange(outsideDays_, 0); }
    // The value of a column of the current row; Null for a database Null.
    Variant Value(std::size_t column) const;
    // A Boolean or whole-number column of the current row as stored.
    StoredNumber Number(std::size_t column) const;
    // A Boolean column of the current row, which the row's null mask holds.
    bool Flag(std::size_t column) const { return Present(table_.columns[column]); }
    // A Date/Time column of the current row as its stored OLE date, where it holds a date that
    // Value gives; nullopt for a Null, a column of another type and a value that is no date.
    std::optional<double> StoredOleDate(std::size_t column) const;

  private:
    struct RowBytes {
        std::span<const std::uint8_t> page;
        std::size_t start = 0;
        std::size_t end = 0;
    };
    // The next live row on the page at hand, and the first on the pages after it.
    bool NextOnPage();
    // With tests: the next of the page's rows that they left to be read.
    bool NextVisit();
    // Judges every row of a page just loaded, in one pass without a branch on a verdict: what a
    // filter's fields hold is no pattern to predict.
    void JudgePage();
    bool NextOnAnotherPage();
    bool LoadDataPage(std::uint32_t page);
    void ReadAhead(std::uint32_t page);
    // Sets up the current row from its slot; false for a deleted row.
    bool LocateRow(std::uint16_t slot);
    // The row a slot's forwarding address names, on the page it moved to.
    void FollowForwardedRow(std::span<const std::uint8_t> bytes);
    void ParseRowLayout();
    enum class Verdict { kRead, kFails, kOutsideDays };
    // What the tests and the days make of the row between those offsets of the page at hand.
    Verdict Judge(std::size_t start, std::size_t end) const;
    void ReadVariableOffsets() const;
    std::span<const std::uint8_t> VariableBytes(const ColumnInfo& column) const;
    std::span<const std::uint8_t> FixedBytes(const ColumnInfo& column) const;
    // A present field's value from its bytes, which are at least as many as its type takes.
    Variant Decode(const ColumnInfo& column, std::span<const std::uint8_t> bytes) const;
    // Whether the column has a value in the current row, by its bit of the null mask.
    bool Present(const ColumnInfo& column) const;
    [[noreturn]] void Damaged(const std::string& what) const;
    [[noreturn]] void RowTooShort(const char* what) const;
    [[noreturn]] void OutsideRow(const ColumnInfo& column) const;

    const Database& database_;
    const TableInfo& table_;
    const Layout& layout_;
    std::size_t pageIndex_ = 0;  // into table_.dataPages for Next
    bool onPage_ = false;        // the page at pageIndex_ is loaded and its rows under way
    std::uint16_t nextSlot_ = 0;
    std::span<const std::uint8_t> page_;  // in ahead_, or else in pageRead_
    std::vector<std::uint8_t> pageRead_;
    // The pages read ahead of the scan: a row's page is mostly the next one in the file.
    std::vector<std::uint8_t> ahead_;
    std::uint32_t aheadFirst_ = 0;
    std::uint32_t aheadCount_ = 0;
    std::uint16_t rowCountOnPage_ = 0;
    std::vector<std::uint8_t> overflowPage_;
    RowPosition position_;
    RowBytes row_;
    std::vector<StoredTest> tests_;
    std::optional<StoredDays> days_;
    bool judging_ = false;  // there are tests or days
    std::size_t outsideDays_ = 0;
    // The page's slots that Next visits when judging, and before each, how many of the page's
    // rows were passed over for their date: each is counted as Next passes it.
    std::vector<std::uint16_t> visits_;
    std::vector<std::uint16_t> outsideBefore_;
    std::size_t nextVisit_ = 0;
    std::uint16_t outsideOnPage_ = 0;
    std::uint16_t outsideCounted_ = 0;
    // The row's layout, parsed once per row.
    std::uint16_t rowColumnCount_ = 0;
    std::size_t nullMaskStart_ = 0;
    mutable std::vector<std::size_t> variableOffsets_;  // absolute, one more than the columns
    mutable bool variableOffsetsRead_ = false;
};

class Database {
  public:
    // Reads the database in `file`, encrypted by Access or not. Raises an Error when the file
    // cannot be read, is no Jet database or an Access 2007 file, or is protected by a database
    // password other than `password` (which is never named).
    explicit Database(std::unique_ptr<ReadableFile> file, const std::string& password = "");
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // User tables, in the catalog's order; system and hidden tables left out.
    std::vector<std::string> TableNames() const;
    // The table of that name without regard to letter case; nullopt when there is none.
    // Raises an Error naming where it lies for a table linked to another database.
    std::optional<TableInfo> OpenTable(std::string_view name) const;

  private:
    friend class TableCursor;
    struct CatalogEntry {
        std::string name;
        std::uint32_t definitionPage;
    };
    // A table of another database that the catalog links to.
    struct Link {
        std::string name;
        std::string target;  // the file, or the ODBC connection
        bool odbc = false;
    };

    // The columns of the catalog MSysObjects that name its objects.
    struct CatalogColumns {
        std::size_t id, name, type, flags;
        std::optional<std::size_t> linkedFile, linkedConnect;  // where a linked table lies
    };

    // Checks the file's kind and sets the layout and size from its first page.
    std::vector<std::uint8_t> ReadFirstPage();
    void CheckPassword(const std::vector<std::uint8_t>& stored, const std::string& password) const;
    void ReadCatalog();
    void AddLink(const TableCursor& cursor, const CatalogColumns& columns, bool odbc);
    void AddTable(const TableCursor& cursor, const CatalogColumns& columns);
    void ReadPage(std::uint32_t page, std::vector<std::uint8_t>& out) const;
    // Up to `count` pages from `first` on in one read, each decoded as ReadPage decodes it;
    // the number of whole pages read, fewer at the end of the file.
    std::uint32_t ReadPages(std::uint32_t first, std::uint32_t count,
                            std::vector<std::uint8_t>& out) const;
    void DecodePage(std::uint32_t page, std::span<std::uint8_t> bytes) const;
    TableInfo ReadTableDefinition(std::string name, std::uint32_t page) const;
    std::vector<std::uint32_t> ReadUsageMap(const TableInfo& table, std::uint32_t pointer) const;
    std::vector<std::uint8_t> ReadLongValue(std::span<const std::uint8_t> header,
                                            const TableInfo& table) const;
    // The bytes of row `slot` on a page already read; checks its bounds.
    std::span<const std::uint8_t> RowOnPage(std::span<const std::uint8_t> page,
                                            std::uint32_t pageNumber, std::uint16_t slot,
                                            const std::string& table) const;
    [[noreturn]] void NoSuchRow(const std::string& table, std::uint32_t page,
                                std::uint16_t slot) const;
    [[noreturn]] void RowOutsidePage(const std::string& table, std::uint32_t page,
                                     std::uint16_t slot) const;
    std::string DecodeText(std::span<const std::uint8_t> bytes) const;
    void ChargeWork(std::size_t bytes) const;
    [[noreturn]] void Damaged(const std::string& what) const;

    std::unique_ptr<ReadableFile> file_;
    std::string path_;
    bool jet3_ = false;
    std::size_t pageSize_ = kJet4PageSize;
    std::uint32_t pageCount_ = 0;
    std::string codePage_;  // of Jet 3 texts
    std::vector<CatalogEntry> catalog_;
    std::vector<Link> links_;
    std::uint32_t databaseKey_ = 0;  // 0: pages are stored plain
    // Long values decoded so far; a damaged file whose chains overlap cannot make the
    // reader do more than a few times the work its size allows.
    mutable std::size_t work_ = 0;
    std::size_t workLimit_ = 0;
    mutable std::vector<std::uint8_t> longValuePage_;
    mutable std::uint32_t longValuePageNumber_ = 0;
};

// A scan's steps from row to row, and the accessors a filter asks of every row, are inline;
// their errors are out of line.
inline bool TableCursor::NextVisit() {
    while (nextVisit_ < visits_.size()) {
        const std::size_t visit = nextVisit_++;
        outsideDays_ += outsideBefore_[visit] - outsideCounted_;
        outsideCounted_ = outsideBefore_[visit];
        position_.slot = visits_[visit];
        if (LocateRow(visits_[visit])) return true;
    }
    outsideDays_ += outsideOnPage_ - outsideCounted_;
    outsideCounted_ = outsideOnPage_;
    return false;
}

inline bool TableCursor::Next() { return (onPage_ && NextOnPage()) || NextOnAnotherPage(); }

inline bool TableCursor::NextOnPage() {
    if (judging_) return NextVisit();
    while (nextSlot_ < rowCountOnPage_) {
        const std::uint16_t slot = nextSlot_++;
        position_.slot = slot;
        if (LocateRow(slot)) return true;
    }
    return false;
}

inline bool TableCursor::LocateRow(std::uint16_t slot) {
    // RowOnPage's checks, made here without its call: this runs for every row of a scan. The
    // slot is one of the page's, whose table LoadDataPage found inside it.
    const std::size_t offsets = layout_.dataRowOffsetsStart;
    const std::uint16_t raw = ReadU16(&page_[offsets + 2u * slot]);
    if (raw & data_page::kRowDeleted) return false;
    // A row ends where the one before it in the slot table begins, the first at the page's end.
    const std::size_t start = raw & data_page::kRowOffsetMask;
    const std::size_t end =
        slot == 0 ? page_.size()
                  : ReadU16(&page_[offsets + 2u * (slot - 1u)]) & data_page::kRowOffsetMask;
    if (start < offsets + 2u * rowCountOnPage_ || start > end || end > page_.size())
        database_.RowOutsidePage(table_.name, position_.page, slot);
    row_ = {page_, start, end};
    if (raw & data_page::kRowLookup) FollowForwardedRow(page_.subspan(start, end - start));
    ParseRowLayout();
    return true;
}

inline void TableCursor::ParseRowLayout() {
    const std::span<const std::uint8_t> page = row_.page;
    const std::size_t length = row_.end - row_.start;
    const std::size_t countSize = layout_.rowCountFieldSize;
    if (length < countSize) RowTooShort("the row is empty");
    rowColumnCount_ = countSize == 1 ? page[row_.start] : ReadU16(&page[row_.start]);
    const std::size_t maskSize = (rowColumnCount_ + 7u) / 8u;
    if (countSize + maskSize > length) RowTooShort("its null mask does not fit in it");
    nullMaskStart_ = row_.end - maskSize;
    variableOffsetsRead_ = false;
}

inline bool TableCursor::Present(const ColumnInfo& column) const {
    // A column added after the row was written is not in the row's null mask.
    if (column.number >= rowColumnCount_) return false;
    return (row_.page[nullMaskStart_ + column.number / 8] >> (column.number % 8)) & 1;
}

inline std::span<const std::uint8_t> TableCursor::FixedBytes(const ColumnInfo& column) const {
    const std::size_t size = FixedSize(column.type) != 0 ? FixedSize(column.type) : column.length;
    const std::size_t start = row_.start + layout_.rowCountFieldSize + column.fixedOffset;
    if (start + size > nullMaskStart_) OutsideRow(column);
    return row_.page.subspan(start, size);
}

inline StoredNumber TableCursor::Number(std::size_t columnIndex) const {
    const ColumnInfo& column = table_.columns[columnIndex];
    using Kind = StoredNumber::Kind;
    if (column.type == ColumnType::kBoolean) return {Kind::kNumber, Present(column) ? -1.0 : 0.0};
    const bool whole = column.type == ColumnType::kByte || column.type == ColumnType::kInteger ||
                       column.type == ColumnType::kLong;
    if (!whole || !column.fixed) return {};
    if (!Present(column)) return {Kind::kNull, 0};
    const std::uint8_t* p = FixedBytes(column).data();
    switch (column.type) {
        case ColumnType::kByte:
            return {Kind::kNumber, static_cast<double>(p[0])};
        case ColumnType::kInteger:
            return {Kind::kNumber, static_cast<double>(static_cast<std::int16_t>(ReadU16(p)))};
        default:
            return {Kind::kNumber, static_cast<double>(static_cast<std::int32_t>(ReadU32(p)))};
    }
}

inline std::optional<double> TableCursor::StoredOleDate(std::size_t columnIndex) const {
    const ColumnInfo& column = table_.columns[columnIndex];
    if (column.type != ColumnType::kDateTime || !column.fixed || !Present(column))
        return std::nullopt;
    const double ole = ReadDouble(FixedBytes(column).data());
    if (!(ole > kFirstOleDate - 1 && ole < kLastOleDate)) return std::nullopt;
    return ole;
}

}  // namespace infotrakon::jet
