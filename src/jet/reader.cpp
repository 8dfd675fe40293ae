#include "jet/reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include "core/case_fold.h"
#include "core/error.h"
#include "core/text_encoding.h"

namespace infotrakon::jet {
namespace {

namespace td = table_definition;
namespace lv = long_value;

constexpr char kJetMagic[] = "Standard Jet DB";
constexpr char kAceMagic[] = "Standard ACE DB";
constexpr std::uint8_t kFileStart[4] = {0x00, 0x01, 0x00, 0x00};
constexpr std::size_t kMaxTableDefinitionPages = 1024;

const Layout& LayoutFor(bool jet3) { return jet3 ? kJet3Layout : kJet4Layout; }

// A fixed whole number's stored bytes against a number test.
bool SatisfiesStoredNumber(const StoredTest& test, ColumnType type, const std::uint8_t* bytes) {
    const double number = type == ColumnType::kByte ? bytes[0]
                          : type == ColumnType::kInteger
                              ? static_cast<std::int16_t>(ReadU16(bytes))
                              : static_cast<std::int32_t>(ReadU32(bytes));
    return test.equal ? number == test.constant : number >= test.constant;
}

std::string Hex2(unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

Variant GuidValue(const std::uint8_t* p) {
    std::string text = "{" + Hex2(ReadU32(p), 8) + "-" + Hex2(ReadU16(p + 4), 4) + "-" +
                       Hex2(ReadU16(p + 6), 4) + "-";
    for (int i = 8; i < 16; ++i) {
        if (i == 10) text += '-';
        text += Hex2(p[i], 2);
    }
    return Guid{text + "}"};
}

// A NUMERIC value: the sign byte, then the magnitude as four little-endian 32-bit words,
// the most significant first; the column's scale places the point.
Variant NumericValue(const std::uint8_t* p, std::uint8_t scale) {
    std::uint32_t words[4];
    for (int i = 0; i < 4; ++i) words[3 - i] = ReadU32(p + 1 + 4 * i);
    std::string digits;
    auto isZero = [&words] { return !(words[0] | words[1] | words[2] | words[3]); };
    while (!isZero()) {
        std::uint64_t remainder = 0;
        for (int i = 3; i >= 0; --i) {
            const std::uint64_t value = remainder << 32 | words[i];
            words[i] = static_cast<std::uint32_t>(value / 10);
            remainder = value % 10;
        }
        digits.push_back(static_cast<char>('0' + remainder));
    }
    const std::size_t places = std::min<std::size_t>(scale, 38);
    while (digits.size() <= places) digits.push_back('0');
    std::reverse(digits.begin(), digits.end());
    if (places > 0) digits.insert(digits.size() - places, 1, '.');
    const bool negative = (p[0] & 0x80) != 0 && digits.find_first_not_of("0.") != std::string::npos;
    return Decimal{negative ? "-" + digits : digits};
}

// The encrypted area of the first page, deciphered; its fields by their offsets in the page.
class HeaderArea {
  public:
    HeaderArea(const std::vector<std::uint8_t>& first, bool jet3)
        : size_(jet3 ? header::kEncryptedSizeJet3 : header::kEncryptedSizeJet4) {
        std::memcpy(bytes_, &first[header::kEncryptedOffset], size_);
        Rc4(header::kHeaderKey, sizeof header::kHeaderKey, bytes_, size_);
    }
    const std::uint8_t* Field(std::size_t offset) const {
        return &bytes_[offset - header::kEncryptedOffset];
    }

  private:
    std::uint8_t bytes_[header::kEncryptedSizeJet4];
    std::size_t size_;
};

// The database password, as Jet keeps it: masked by the header's cipher, and in Jet 4 also by
// the creation date; zeros where there is none.
std::vector<std::uint8_t> StoredPassword(const HeaderArea& area, bool jet3) {
    const std::uint8_t* field = area.Field(header::kPasswordOffset);
    if (jet3) return {field, field + header::kPasswordSizeJet3};
    const double created = ReadDouble(area.Field(header::kCreationDateOffsetJet4));
    const double day = std::isfinite(created) ? std::floor(created) : 0.0;
    const auto mask = static_cast<std::uint32_t>(
        day >= -2147483648.0 && day <= 2147483647.0 ? static_cast<std::int32_t>(day) : 0);
    std::vector<std::uint8_t> stored;
    for (std::size_t i = 0; i < header::kPasswordSizeJet4; ++i)
        stored.push_back(field[i] ^ static_cast<std::uint8_t>(mask >> (8 * (i % 4))));
    return stored;
}

// The password a connection gives, in the bytes the file keeps it in: the code page's in
// Jet 3, UCS-2 in Jet 4.
std::vector<std::uint8_t> GivenPassword(const std::string& password, bool jet3,
                                        const std::string& codePage) {
    std::vector<std::uint8_t> given;
    if (jet3) {
        const std::string bytes = Utf16ToAnsi(Utf8ToUtf16(password), codePage.c_str());
        given.assign(bytes.begin(), bytes.end());
        return given;
    }
    for (const char16_t unit : Utf8ToUtf16(password)) {
        given.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        given.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return given;
}

}  // namespace

std::optional<std::size_t> TableInfo::FindColumn(std::string_view wanted) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (EqualsIgnoringCase(columns[i].name, wanted)) return i;
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------
// The database file

Database::Database(std::unique_ptr<ReadableFile> file, const std::string& password)
    : file_(std::move(file)), path_(file_->name()) {
    const std::vector<std::uint8_t> first = ReadFirstPage();
    const HeaderArea area(first, jet3_);
    // Encrypted by Access: every page after this one is RC4-coded with a key of its own.
    databaseKey_ = ReadU32(area.Field(header::kDatabaseKeyOffset));
    const std::uint16_t codePage = ReadU16(area.Field(header::kCodePageOffset));
    codePage_ = "CP" + std::to_string(codePage == 0 ? 1252 : codePage);
    CheckPassword(StoredPassword(area, jet3_), password);
    if (pageCount_ <= kCatalogPage) Damaged("the file ends before its catalog");
    ReadCatalog();
}

std::vector<std::uint8_t> Database::ReadFirstPage() {
    const std::uint64_t size = file_->Size();
    std::vector<std::uint8_t> first(kJet4PageSize, 0);
    const std::size_t got = file_->ReadAt(0, first);
    if (got < kJet3PageSize ||
        !std::equal(std::begin(kFileStart), std::end(kFileStart), first.begin()))
        throw Error(error_number::kDatabaseFormat,
                    "'" + path_ + "' is no Access database (Jet) file");
    const char* magic = reinterpret_cast<const char*>(&first[header::kMagicOffset]);
    const std::uint8_t version = first[header::kVersionOffset];
    if (std::memcmp(magic, kAceMagic, sizeof kAceMagic) == 0 || version > header::kVersionJet4)
        throw Error(error_number::kDatabaseFormat,
                    "'" + path_ +
                        "' is in the Access 2007 or later format (.accdb), which is not "
                        "supported; save it in the Access 2000-2003 format (.mdb)");
    if (std::memcmp(magic, kJetMagic, sizeof kJetMagic) != 0)
        throw Error(error_number::kDatabaseFormat,
                    "'" + path_ + "' is no Access database (Jet) file");
    jet3_ = version == header::kVersionJet3;
    pageSize_ = LayoutFor(jet3_).pageSize;
    if (size / pageSize_ > 0xFFFFFF)
        throw Error(error_number::kDatabaseFormat,
                    "'" + path_ + "' is larger than an Access database can be");
    pageCount_ = static_cast<std::uint32_t>(size / pageSize_);
    workLimit_ = static_cast<std::size_t>(size) * 8 + (16u << 20);
    return first;
}

void Database::CheckPassword(const std::vector<std::uint8_t>& stored,
                             const std::string& password) const {
    std::vector<std::uint8_t> given = GivenPassword(password, jet3_, codePage_);
    const bool protectedFile =
        std::any_of(stored.begin(), stored.end(), [](std::uint8_t b) { return b != 0; });
    given.resize(std::max(given.size(), stored.size()), 0);
    if (protectedFile && !std::equal(stored.begin(), stored.end(), given.begin(), given.end()))
        throw Error(error_number::kInvalidPassword,
                    "Not a valid password. '" + path_ + "' is protected by a database password" +
                        (password.empty() ? ", and the connection gives none"
                                          : ", and the connection gives another"));
}

// The catalog's rows name the user tables and the tables linked to other databases.
void Database::ReadCatalog() {
    const TableInfo catalog = ReadTableDefinition("MSysObjects", kCatalogPage);
    const auto id = catalog.FindColumn("Id");
    const auto name = catalog.FindColumn("Name");
    const auto type = catalog.FindColumn("Type");
    const auto flags = catalog.FindColumn("Flags");
    if (!id || !name || !type || !flags)
        Damaged("the catalog MSysObjects lacks its Id, Name, Type or Flags column");
    const CatalogColumns columns{
        *id, *name, *type, *flags, catalog.FindColumn("Database"), catalog.FindColumn("Connect")};
    TableCursor cursor(*this, catalog);
    while (cursor.Next()) {
        const Variant typeValue = cursor.Value(columns.type);
        const auto* typeNumber = typeValue.get<std::int64_t>();
        if (typeNumber != nullptr &&
            (*typeNumber == kObjectTypeLinkedTable || *typeNumber == kObjectTypeLinkedOdbc)) {
            AddLink(cursor, columns, *typeNumber == kObjectTypeLinkedOdbc);
        } else if (typeNumber != nullptr && (*typeNumber & 0x7F) == kObjectTypeTable) {
            AddTable(cursor, columns);
        }
    }
}

void Database::AddLink(const TableCursor& cursor, const CatalogColumns& columns, bool odbc) {
    const Variant nameValue = cursor.Value(columns.name);
    const std::optional<std::size_t>& whereColumn =
        odbc ? columns.linkedConnect : columns.linkedFile;
    const Variant where = whereColumn ? cursor.Value(*whereColumn) : Variant();
    const auto* nameText = nameValue.get<std::string>();
    const auto* whereText = where.get<std::string>();
    if (nameText != nullptr)
        links_.push_back({*nameText, whereText != nullptr ? *whereText : std::string(), odbc});
}

// A table of the catalog, unless it is a system table.
void Database::AddTable(const TableCursor& cursor, const CatalogColumns& columns) {
    const Variant flagsValue = cursor.Value(columns.flags);
    const auto* flagBits = flagsValue.get<std::int64_t>();
    if (flagBits != nullptr && (static_cast<std::uint32_t>(*flagBits) & kSystemObjectFlags)) return;
    const Variant idValue = cursor.Value(columns.id);
    const Variant nameValue = cursor.Value(columns.name);
    const auto* idNumber = idValue.get<std::int64_t>();
    const auto* nameText = nameValue.get<std::string>();
    if (idNumber == nullptr || nameText == nullptr) return;
    catalog_.push_back({*nameText, static_cast<std::uint32_t>(*idNumber) & 0x00FFFFFFu});
}

Database::~Database() = default;

void Database::Damaged(const std::string& what) const {
    throw Error(error_number::kDatabaseFormat, "The database '" + path_ + "' is damaged: " + what);
}

void Database::ChargeWork(std::size_t bytes) const {
    work_ += bytes + 64;
    if (work_ > workLimit_)
        Damaged("its long values refer to each other more often than its size allows");
}

void Database::ReadPage(std::uint32_t page, std::vector<std::uint8_t>& out) const {
    if (page >= pageCount_)
        Damaged("page " + std::to_string(page) + " is beyond the end of the file (" +
                std::to_string(pageCount_) + " pages)");
    out.resize(pageSize_);
    if (file_->ReadAt(static_cast<std::uint64_t>(page) * pageSize_, out) < pageSize_)
        Damaged("page " + std::to_string(page) + " is cut short");
    DecodePage(page, out);
}

std::uint32_t Database::ReadPages(std::uint32_t first, std::uint32_t count,
                                  std::vector<std::uint8_t>& out) const {
    if (first >= pageCount_) return 0;
    count = std::min(count, pageCount_ - first);
    out.resize(static_cast<std::size_t>(count) * pageSize_);
    const std::size_t got = file_->ReadAt(static_cast<std::uint64_t>(first) * pageSize_, out);
    const auto whole = static_cast<std::uint32_t>(got / pageSize_);
    for (std::uint32_t i = 0; i < whole; ++i)
        DecodePage(first + i, std::span(out).subspan(i * pageSize_, pageSize_));
    return whole;
}

void Database::DecodePage(std::uint32_t page, std::span<std::uint8_t> bytes) const {
    if (databaseKey_ == 0 || page == 0) return;
    CodePage(databaseKey_, page, bytes);
}

std::string Database::DecodeText(std::span<const std::uint8_t> bytes) const {
    if (jet3_)
        return AnsiToUtf8(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
            codePage_.c_str());
    return Utf16ToUtf8(DecodeUnicodeText(bytes));
}

std::vector<std::string> Database::TableNames() const {
    std::vector<std::string> names;
    for (const CatalogEntry& entry : catalog_) names.push_back(entry.name);
    return names;
}

std::optional<TableInfo> Database::OpenTable(std::string_view name) const {
    for (const CatalogEntry& entry : catalog_)
        if (EqualsIgnoringCase(entry.name, name))
            return ReadTableDefinition(entry.name, entry.definitionPage);
    for (const Link& link : links_)
        if (EqualsIgnoringCase(link.name, name))
            throw Error(error_number::kNoSuchTable,
                        "In '" + path_ + "', table " + link.name + " is linked to " +
                            (link.odbc ? "the ODBC source " : "") +
                            (link.target.empty() ? "another database" : link.target) +
                            ", which this panel does not follow");
    return std::nullopt;
}

TableInfo Database::ReadTableDefinition(std::string name, std::uint32_t page) const {
    const Layout& layout = LayoutFor(jet3_);
    const std::string where = "the definition of table " + name;
    // The definition runs on over continuation pages, each adding its content after its
    // 8-byte header.
    std::vector<std::uint8_t> definition;
    std::vector<std::uint8_t> buffer;
    std::set<std::uint32_t> seen;
    for (std::uint32_t next = page; next != 0;) {
        if (!seen.insert(next).second || seen.size() > kMaxTableDefinitionPages)
            Damaged(where + " runs in a circle through page " + std::to_string(next));
        ReadPage(next, buffer);
        if (buffer[0] != static_cast<std::uint8_t>(PageType::kTableDefinition))
            Damaged(where + ": page " + std::to_string(next) + " is no table definition page");
        definition.insert(definition.end(),
                          buffer.begin() + static_cast<std::ptrdiff_t>(definition.empty() ? 0 : 8),
                          buffer.end());
        next = ReadU32(&buffer[td::kNextPageOffset]);
    }
    auto need = [&](std::size_t end, const char* what) {
        if (end > definition.size()) Damaged(where + " ends inside its " + what);
    };
    need(layout.definitionHeaderSize, "header");
    TableInfo table;
    table.name = std::move(name);
    table.definitionPage = page;
    table.variableColumnCount = ReadU16(&definition[layout.definitionVariableColumnCountOffset]);
    const std::size_t columnCount = ReadU16(&definition[layout.definitionColumnCountOffset]);
    const std::size_t realIndexCount = ReadU32(&definition[layout.definitionRealIndexCountOffset]);
    const std::uint32_t usageMap = ReadU32(&definition[layout.definitionUsedPagesOffset]);
    if (realIndexCount > definition.size()) Damaged(where + " counts more indexes than it holds");
    std::size_t at = layout.definitionHeaderSize + realIndexCount * layout.realIndexEntrySize;
    need(at + columnCount * layout.columnEntrySize, "column descriptors");
    for (std::size_t i = 0; i < columnCount; ++i, at += layout.columnEntrySize) {
        const std::uint8_t* entry = &definition[at];
        ColumnInfo column;
        column.type = static_cast<ColumnType>(entry[0]);
        column.number = ReadU16(entry + layout.columnNumberOffset);
        column.variableIndex = ReadU16(entry + layout.columnVariableIndexOffset);
        column.fixed = (entry[layout.columnFlagsOffset] & td::kColumnFixedLength) != 0;
        column.fixedOffset = ReadU16(entry + layout.columnFixedOffsetOffset);
        column.length = ReadU16(entry + layout.columnLengthOffset);
        column.precision = entry[layout.columnPrecisionOffset];
        column.scale = entry[layout.columnScaleOffset];
        table.columns.push_back(column);
    }
    for (ColumnInfo& column : table.columns) {
        need(at + layout.nameLengthSize, "column names");
        const std::size_t length =
            layout.nameLengthSize == 1 ? definition[at] : ReadU16(&definition[at]);
        at += layout.nameLengthSize;
        need(at + length, "column names");
        column.name = DecodeText(std::span(&definition[at], length));
        at += length;
    }
    std::stable_sort(table.columns.begin(), table.columns.end(),
                     [](const ColumnInfo& a, const ColumnInfo& b) { return a.number < b.number; });
    table.dataPages = ReadUsageMap(table, usageMap);
    return table;
}

std::span<const std::uint8_t> Database::RowOnPage(std::span<const std::uint8_t> page,
                                                  std::uint32_t pageNumber, std::uint16_t slot,
                                                  const std::string& table) const {
    const Layout& layout = LayoutFor(jet3_);
    const std::size_t rows = ReadU16(&page[layout.dataRowCountOffset]);
    const std::size_t tableEnd = layout.dataRowOffsetsStart + 2 * rows;
    if (slot >= rows || tableEnd > pageSize_) NoSuchRow(table, pageNumber, slot);
    const std::size_t start =
        ReadU16(&page[layout.dataRowOffsetsStart + 2 * slot]) & data_page::kRowOffsetMask;
    const std::size_t end = slot == 0
                                ? pageSize_
                                : ReadU16(&page[layout.dataRowOffsetsStart + 2 * (slot - 1)]) &
                                      data_page::kRowOffsetMask;
    if (start < tableEnd || start > end || end > pageSize_) RowOutsidePage(table, pageNumber, slot);
    return std::span(&page[start], end - start);
}

void Database::NoSuchRow(const std::string& table, std::uint32_t page, std::uint16_t slot) const {
    Damaged("table " + table + ", page " + std::to_string(page) + " has no row " +
            std::to_string(slot));
}

void Database::RowOutsidePage(const std::string& table, std::uint32_t page,
                              std::uint16_t slot) const {
    Damaged("table " + table + ", page " + std::to_string(page) + ", row " + std::to_string(slot) +
            " lies outside its page");
}

std::vector<std::uint32_t> Database::ReadUsageMap(const TableInfo& table,
                                                  std::uint32_t pointer) const {
    const std::string where = "the usage map of table " + table.name;
    std::vector<std::uint8_t> page;
    const std::uint32_t mapPage = pointer >> 8;
    ReadPage(mapPage, page);
    if (page[0] != static_cast<std::uint8_t>(PageType::kData))
        Damaged(where + " points to page " + std::to_string(mapPage) + ", which holds no rows");
    const auto map =
        RowOnPage(page, mapPage, static_cast<std::uint16_t>(pointer & 0xFF), table.name);
    if (map.empty()) Damaged(where + " is empty");
    std::vector<std::uint32_t> pages;
    auto addBits = [&](std::span<const std::uint8_t> bitmap, std::uint64_t first) {
        for (std::size_t byte = 0; byte < bitmap.size(); ++byte) {
            if (bitmap[byte] == 0) continue;
            for (int bit = 0; bit < 8; ++bit) {
                if (!(bitmap[byte] & (1u << bit))) continue;
                const std::uint64_t number = first + byte * 8 + static_cast<std::uint64_t>(bit);
                if (number >= pageCount_)
                    Damaged(where + " names page " + std::to_string(number) +
                            ", beyond the end of the file");
                pages.push_back(static_cast<std::uint32_t>(number));
            }
        }
    };
    if (map[0] == usage_map::kInline) {
        if (map.size() < usage_map::kInlineHeader) Damaged(where + " is cut short");
        addBits(map.subspan(usage_map::kInlineHeader), ReadU32(&map[1]));
    } else if (map[0] == usage_map::kReference) {
        const std::size_t pagesPerBitmap = (pageSize_ - usage_map::kBitmapPageHeader) * 8;
        std::set<std::uint32_t> seen;
        std::vector<std::uint8_t> bitmapPage;
        for (std::size_t i = 0; 1 + 4 * i + 4 <= map.size(); ++i) {
            const std::uint32_t bitmapNumber = ReadU32(&map[1 + 4 * i]);
            if (bitmapNumber == 0) continue;
            if (!seen.insert(bitmapNumber).second)
                Damaged(where + " uses page " + std::to_string(bitmapNumber) + " twice");
            ReadPage(bitmapNumber, bitmapPage);
            if (bitmapPage[0] != static_cast<std::uint8_t>(PageType::kUsageMap))
                Damaged(where + " points to page " + std::to_string(bitmapNumber) +
                        ", which is no usage map page");
            addBits(std::span(bitmapPage).subspan(usage_map::kBitmapPageHeader),
                    static_cast<std::uint64_t>(i) * pagesPerBitmap);
        }
    } else {
        Damaged(where + " has the unknown kind " + std::to_string(map[0]));
    }
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

std::vector<std::uint8_t> Database::ReadLongValue(std::span<const std::uint8_t> header,
                                                  const TableInfo& table) const {
    const std::string where = "a long value of table " + table.name;
    const std::uint32_t lengthField = ReadU32(header.data());
    const std::size_t length = lengthField & lv::kLengthMask;
    std::vector<std::uint8_t> data;
    if (lengthField & lv::kInline) {
        if (lv::kHeaderSize + length > header.size()) Damaged(where + " is longer than its row");
        ChargeWork(length);
        data.assign(header.begin() + lv::kHeaderSize,
                    header.begin() + static_cast<std::ptrdiff_t>(lv::kHeaderSize + length));
        return data;
    }
    // On long-value pages; a value cannot be larger than the file that holds it.
    if (length > static_cast<std::uint64_t>(pageCount_) * pageSize_)
        Damaged(where + " claims " + std::to_string(length) + " bytes, more than the file holds");
    std::uint32_t pointer = ReadU32(header.data() + lv::kPointerOffset);
    const bool single = (lengthField & lv::kSinglePage) != 0;
    std::set<std::uint32_t> seen;
    while (pointer != 0 && data.size() < length) {
        if (!seen.insert(pointer).second)
            Damaged(where + " runs in a circle through page " + std::to_string(pointer >> 8));
        const std::uint32_t pageNumber = pointer >> 8;
        if (longValuePage_.empty() || longValuePageNumber_ != pageNumber) {
            longValuePage_.clear();
            ReadPage(pageNumber, longValuePage_);
            longValuePageNumber_ = pageNumber;
        }
        if (longValuePage_[0] != static_cast<std::uint8_t>(PageType::kData))
            Damaged(where + " points to page " + std::to_string(pageNumber) +
                    ", which holds no rows");
        auto piece = RowOnPage(longValuePage_, pageNumber,
                               static_cast<std::uint16_t>(pointer & 0xFF), table.name);
        if (single) {
            pointer = 0;
        } else {
            if (piece.size() < 4) Damaged(where + " has a piece without its link");
            pointer = ReadU32(piece.data());
            piece = piece.subspan(4);
        }
        const std::size_t take = std::min(piece.size(), length - data.size());
        ChargeWork(take);
        data.insert(data.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(take));
    }
    if (data.size() < length)
        Damaged(where + " ends after " + std::to_string(data.size()) + " of its " +
                std::to_string(length) + " bytes");
    return data;
}

// ---------------------------------------------------------------------------------------
// Rows

TableCursor::TableCursor(const Database& database, const TableInfo& table)
    : database_(database), table_(table), layout_(LayoutFor(database.jet3_)) {}

void TableCursor::Damaged(const std::string& what) const {
    database_.Damaged("table " + table_.name + ", page " + std::to_string(position_.page) +
                      ", row " + std::to_string(position_.slot) + ": " + what);
}

void TableCursor::RowTooShort(const char* what) const { Damaged(what); }

void TableCursor::OutsideRow(const ColumnInfo& column) const {
    Damaged("field " + column.name + " lies outside its row");
}

// Enough pages for one read to cost little next to the rows it brings.
constexpr std::uint32_t kPagesReadAhead = 32;

void TableCursor::ReadAhead(std::uint32_t page) {
    aheadCount_ = database_.ReadPages(page, kPagesReadAhead, ahead_);
    aheadFirst_ = page;
}

bool TableCursor::LoadDataPage(std::uint32_t page) {
    page_ = {};
    const auto readAhead = [&] { return page >= aheadFirst_ && page - aheadFirst_ < aheadCount_; };
    if (!readAhead()) ReadAhead(page);
    if (readAhead()) {
        const std::size_t size = database_.pageSize_;
        page_ = std::span<const std::uint8_t>(ahead_).subspan((page - aheadFirst_) * size, size);
    } else {
        database_.ReadPage(page, pageRead_);  // beyond the end of the file, or cut short there
        page_ = pageRead_;
    }
    rowCountOnPage_ = 0;
    // A page of the map may since have gone to another table, or been freed.
    if (page_[0] != static_cast<std::uint8_t>(PageType::kData) ||
        ReadU32(&page_[data_page::kTableDefinitionOffset]) != table_.definitionPage)
        return false;
    const Layout& layout = LayoutFor(database_.jet3_);
    const std::uint16_t rows = ReadU16(&page_[layout.dataRowCountOffset]);
    if (layout.dataRowOffsetsStart + 2u * rows > page_.size())
        database_.Damaged("table " + table_.name + ", page " + std::to_string(page) +
                          " counts more rows than it can hold");
    rowCountOnPage_ = rows;
    return true;
}

bool TableCursor::NextOnAnotherPage() {
    if (onPage_) ++pageIndex_;
    onPage_ = false;
    while (pageIndex_ < table_.dataPages.size()) {
        const std::uint32_t page = table_.dataPages[pageIndex_];
        if (LoadDataPage(page)) {
            onPage_ = true;
            nextSlot_ = 0;
            position_.page = page;
            if (judging_) JudgePage();
            if (NextOnPage()) return true;
            onPage_ = false;
        }
        ++pageIndex_;
    }
    return false;
}

void TableCursor::FollowForwardedRow(std::span<const std::uint8_t> bytes) {
    // The row moved to another page when it grew; its slot keeps only its address.
    if (bytes.size() < 4) Damaged("its forwarding address is cut short");
    const std::uint32_t target = ReadU32(bytes.data());
    overflowPage_.clear();
    database_.ReadPage(target >> 8, overflowPage_);
    if (overflowPage_[0] != static_cast<std::uint8_t>(PageType::kData))
        Damaged("it was moved to page " + std::to_string(target >> 8) + ", which holds no rows");
    const auto moved = database_.RowOnPage(overflowPage_, target >> 8,
                                           static_cast<std::uint16_t>(target & 0xFF), table_.name);
    const auto start = static_cast<std::size_t>(moved.data() - overflowPage_.data());
    row_ = {overflowPage_, start, start + moved.size()};
}

void TableCursor::PassOver(std::vector<StoredTest> tests, std::optional<StoredDays> days) {
    tests_ = std::move(tests);
    days_ = days;
    judging_ = !tests_.empty() || days_;
}

void TableCursor::JudgePage() {
    const std::size_t offsets = layout_.dataRowOffsetsStart;
    const std::size_t tableEnd = offsets + 2u * rowCountOnPage_;
    visits_.resize(rowCountOnPage_);
    outsideBefore_.resize(rowCountOnPage_);
    std::size_t visits = 0;
    std::uint16_t outside = 0;
    for (std::uint16_t slot = 0; slot < rowCountOnPage_; ++slot) {
        const std::uint16_t raw = ReadU16(&page_[offsets + 2u * slot]);
        const std::size_t start = raw & data_page::kRowOffsetMask;
        const std::size_t end =
            slot == 0 ? page_.size()
                      : ReadU16(&page_[offsets + 2u * (slot - 1u)]) & data_page::kRowOffsetMask;
        // A deleted row is not visited; a moved one, or one outside its page, is read, where
        // the reader follows it or raises its error.
        Verdict verdict = Verdict::kRead;
        if (raw & data_page::kRowDeleted)
            verdict = Verdict::kFails;
        else if (!(raw & data_page::kRowLookup) && start >= tableEnd && start <= end &&
                 end <= page_.size())
            verdict = Judge(start, end);
        visits_[visits] = slot;
        outsideBefore_[visits] = outside;
        visits += verdict == Verdict::kRead;
        outside = static_cast<std::uint16_t>(outside + (verdict == Verdict::kOutsideDays));
    }
    visits_.resize(visits);
    outsideBefore_.resize(visits);
    nextVisit_ = 0;
    outsideOnPage_ = outside;
    outsideCounted_ = 0;
}

TableCursor::Verdict TableCursor::Judge(std::size_t start, std::size_t end) const {
    const std::size_t countSize = layout_.rowCountFieldSize;
    if (end - start < countSize) return Verdict::kRead;
    const std::size_t columns = countSize == 1 ? page_[start] : ReadU16(&page_[start]);
    const std::size_t maskSize = (columns + 7) / 8;
    if (countSize + maskSize > end - start) return Verdict::kRead;
    const std::size_t mask = end - maskSize;
    const auto present = [&](const ColumnInfo& column) {
        // Without a branch on the bit: a filter's flags are no pattern to predict.
        const bool inMask = column.number < columns;
        const unsigned byte = page_[inMask ? mask + column.number / 8 : start];
        return inMask & (((byte >> (column.number % 8)) & 1u) != 0);
    };
    // A present field's bytes, where they lie inside the row.
    const auto fixed = [&](const ColumnInfo& column) -> const std::uint8_t* {
        const std::size_t at = start + countSize + column.fixedOffset;
        return present(column) && at + FixedSize(column.type) <= mask ? &page_[at] : nullptr;
    };
    // A date from 0 on that a field holds, or nullopt.
    const auto oleDate = [&](const ColumnInfo& column) -> std::optional<double> {
        const std::uint8_t* bytes = fixed(column);
        if (bytes == nullptr) return std::nullopt;
        const double ole = ReadDouble(bytes);
        if (!(ole >= 0 && ole < kLastOleDate)) return std::nullopt;
        return ole;
    };
    // Every test is made and the row decided at the end, with one branch: what a filter's
    // fields hold is no pattern to predict. A test that cannot tell has the row read whatever
    // the others say, which is always right: the reader then decides it as it would unhelped.
    bool passes = true;
    for (const StoredTest& test : tests_) {
        const ColumnInfo& column = table_.columns[test.column];
        switch (test.kind) {
            case StoredTest::Kind::kFlag: {
                const bool set = present(column);
                passes &= (set & test.whenSet) | (!set & test.whenClear);
                break;
            }
            case StoredTest::Kind::kNumber: {
                const std::uint8_t* bytes = fixed(column);
                if (bytes == nullptr && present(column)) return Verdict::kRead;
                // A Null passes no comparison.
                passes &= bytes != nullptr && SatisfiesStoredNumber(test, column.type, bytes);
                break;
            }
            case StoredTest::Kind::kOleDateFrom: {
                const std::optional<double> ole = oleDate(column);
                if (!ole) return Verdict::kRead;
                passes &= *ole >= test.constant;
                break;
            }
        }
    }
    if (!days_) return passes ? Verdict::kRead : Verdict::kFails;
    const std::optional<double> ole = oleDate(table_.columns[days_->column]);
    // Both sides made and added, with no branch between them.
    const bool outside = ole && int{*ole < days_->first} + int{*ole >= days_->afterLast} > 0;
    return !passes ? Verdict::kFails : outside ? Verdict::kOutsideDays : Verdict::kRead;
}

// The offsets of the row's variable columns, read when the first of them is asked for: a
// filter or a reader of fixed columns alone has no need of them.
void TableCursor::ReadVariableOffsets() const {
    variableOffsets_.clear();
    if (table_.variableColumnCount == 0) {
        variableOffsetsRead_ = true;
        return;
    }
    const Layout& layout = LayoutFor(database_.jet3_);
    const std::span<const std::uint8_t> page = row_.page;
    const std::size_t length = row_.end - row_.start;
    const std::size_t countSize = layout.rowCountFieldSize;
    const std::size_t dataStart = row_.start + countSize;
    if (nullMaskStart_ < dataStart + countSize) Damaged("its variable column count does not fit");
    const std::size_t countAt = nullMaskStart_ - countSize;
    const std::size_t variableCount = countSize == 1 ? page[countAt] : ReadU16(&page[countAt]);
    if (!database_.jet3_) {
        if (countAt < dataStart + 2 * (variableCount + 1))
            Damaged("its variable column offsets do not fit");
        for (std::size_t i = 0; i <= variableCount; ++i)
            variableOffsets_.push_back(row_.start + ReadU16(&page[countAt - 2 * (i + 1)]));
    } else {
        // One byte per offset; each entry of the jump table, which sits between the offsets
        // and the count, names the first column whose offset lies a further 256 bytes on.
        std::size_t jumps = (length - 1) / 256;
        if (countAt < dataStart + jumps + variableCount + 1)
            Damaged("its variable column offsets do not fit");
        const std::size_t offsetsEnd = countAt - jumps;  // one past the first offset
        if ((offsetsEnd - 1 - row_.start - variableCount) / 256 < jumps) {
            // The last jump slot is a filler: the row is just too short to need it.
            --jumps;
        }
        std::size_t jumpsUsed = 0;
        for (std::size_t i = 0; i <= variableCount; ++i) {
            while (jumpsUsed < jumps && page[countAt - 1 - jumpsUsed] == i) ++jumpsUsed;
            variableOffsets_.push_back(row_.start + page[offsetsEnd - 1 - i] + 256 * jumpsUsed);
        }
    }
    for (std::size_t i = 0; i < variableOffsets_.size(); ++i) {
        if (variableOffsets_[i] > nullMaskStart_ ||
            (i > 0 && variableOffsets_[i] < variableOffsets_[i - 1]))
            Damaged("its variable column offsets are out of order");
    }
    variableOffsetsRead_ = true;
}

std::span<const std::uint8_t> TableCursor::VariableBytes(const ColumnInfo& column) const {
    if (!variableOffsetsRead_) ReadVariableOffsets();
    const std::size_t index = column.variableIndex;
    if (index + 1 >= variableOffsets_.size()) return {};
    return std::span(&row_.page[variableOffsets_[index]],
                     variableOffsets_[index + 1] - variableOffsets_[index]);
}

Variant TableCursor::Value(std::size_t columnIndex) const {
    const ColumnInfo& column = table_.columns[columnIndex];
    const bool present = Present(column);
    if (column.type == ColumnType::kBoolean) return present;
    if (!present) return Null{};

    std::span<const std::uint8_t> bytes;
    if (column.fixed) {
        bytes = FixedBytes(column);
    } else {
        bytes = VariableBytes(column);
        // A variable column added later may lie beyond the row's offsets.
        if (column.variableIndex + 1u >= variableOffsets_.size()) return Null{};
    }
    const std::size_t need = FixedSize(column.type);
    if (bytes.size() < need)
        Damaged("field " + column.name + " holds " + std::to_string(bytes.size()) +
                " bytes, fewer than its type needs");
    return Decode(column, bytes);
}

Variant TableCursor::Decode(const ColumnInfo& column, std::span<const std::uint8_t> bytes) const {
    const std::uint8_t* p = bytes.data();
    switch (column.type) {
        case ColumnType::kByte:
            return static_cast<std::int64_t>(p[0]);
        case ColumnType::kInteger:
            return static_cast<std::int64_t>(static_cast<std::int16_t>(ReadU16(p)));
        case ColumnType::kLong:
            return static_cast<std::int64_t>(static_cast<std::int32_t>(ReadU32(p)));
        case ColumnType::kCurrency: {
            const std::uint64_t raw = static_cast<std::uint64_t>(ReadU32(p)) |
                                      static_cast<std::uint64_t>(ReadU32(p + 4)) << 32;
            return Currency{static_cast<std::int64_t>(raw)};
        }
        case ColumnType::kSingle: {
            Single value;
            std::memcpy(&value.value, p, sizeof value.value);
            return value;
        }
        case ColumnType::kDouble:
            return ReadDouble(p);
        case ColumnType::kDateTime: {
            const double ole = ReadDouble(p);
            if (!(ole > kFirstOleDate - 1 && ole < kLastOleDate))
                Damaged("field " + column.name + " holds no date between the years 100 and 9999");
            return Date::FromOle(ole);
        }
        case ColumnType::kGuid:
            return GuidValue(p);
        case ColumnType::kNumeric:
            return NumericValue(p, column.scale);
        case ColumnType::kText:
            return database_.DecodeText(bytes);
        case ColumnType::kMemo: {
            if (bytes.size() < long_value::kHeaderSize)
                Damaged("field " + column.name + " is shorter than a long value's header");
            return database_.DecodeText(database_.ReadLongValue(bytes, table_));
        }
        case ColumnType::kOle: {
            if (bytes.size() < long_value::kHeaderSize)
                Damaged("field " + column.name + " is shorter than a long value's header");
            return Binary{database_.ReadLongValue(bytes, table_)};
        }
        default:
            return Binary{std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
    }
}

}  // namespace infotrakon::jet
