#include "tools/mkagenda/jet_writer.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

#include "core/error.h"
#include "core/text_encoding.h"

namespace infotrakon::mkagenda {
namespace {

using jet::ColumnType;
namespace td = jet::table_definition;
namespace dp = jet::data_page;
namespace lv = jet::long_value;
constexpr std::size_t kPageSize = jet::kJet4PageSize;
// The largest row a data page holds beside its header and one row offset.
constexpr std::size_t kMaxRow = kPageSize - dp::kRowOffsetsStart - 2;
// Memos up to this many bytes stay in the row; longer ones go to long-value pages.
constexpr std::size_t kInlineMemoLimit = 1024;
constexpr std::size_t kLongValueChunk = 4000;

bool IsVariable(ColumnType type) {
    return type == ColumnType::kText || type == ColumnType::kMemo || type == ColumnType::kOle;
}

void AppendUcs2(std::vector<std::uint8_t>& out, const std::u16string& text) {
    for (const char16_t unit : text) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
}

template <typename T>
void AppendLittleEndian(std::vector<std::uint8_t>& out, T value) {
    const std::size_t at = out.size();
    out.resize(at + sizeof(T));
    std::memcpy(out.data() + at, &value, sizeof(T));
}

Error Mismatch(const std::string& where, const char* expected, const Variant& value) {
    return Error(error_number::kTypeMismatch,
                 where + ": expected " + expected + ", got " + value.kindName());
}

bool EncodeBoolean(const Variant& value, const std::string& where) {
    const bool* flag = value.get<bool>();
    if (flag == nullptr) throw Mismatch(where, "true or false", value);
    return *flag;
}

void EncodeWholeNumber(ColumnType type, const Variant& value, const std::string& where,
                       std::vector<std::uint8_t>& bytes) {
    const std::int64_t* number = value.get<std::int64_t>();
    if (number == nullptr) throw Mismatch(where, "a whole number", value);
    const std::int64_t low = type == ColumnType::kByte ? 0
                             : type == ColumnType::kInteger
                                 ? -32768
                                 : std::numeric_limits<std::int32_t>::min();
    const std::int64_t high = type == ColumnType::kByte ? 255
                              : type == ColumnType::kInteger
                                  ? 32767
                                  : std::numeric_limits<std::int32_t>::max();
    if (*number < low || *number > high)
        throw Error(error_number::kOverflow, where + ": " + std::to_string(*number) +
                                                 " is outside " + std::to_string(low) + ".." +
                                                 std::to_string(high));
    if (type == ColumnType::kByte) bytes.push_back(static_cast<std::uint8_t>(*number));
    if (type == ColumnType::kInteger) AppendLittleEndian(bytes, static_cast<std::int16_t>(*number));
    if (type == ColumnType::kLong) AppendLittleEndian(bytes, static_cast<std::int32_t>(*number));
}

void EncodeRealNumber(ColumnType type, const Variant& value, const std::string& where,
                      std::vector<std::uint8_t>& bytes) {
    double number = 0;
    if (const auto* real = value.get<double>()) {
        number = *real;
    } else if (const auto* whole = value.get<std::int64_t>()) {
        number = static_cast<double>(*whole);
    } else {
        throw Mismatch(where, "a number", value);
    }
    if (!std::isfinite(number))
        throw Error(error_number::kOverflow, where + ": not a finite number");
    if (type == ColumnType::kSingle) {
        if (std::fabs(number) > std::numeric_limits<float>::max())
            throw Error(error_number::kOverflow, where + ": too large for a single");
        AppendLittleEndian(bytes, static_cast<float>(number));
    } else {
        AppendLittleEndian(bytes, number);
    }
}

void EncodeText(const ColumnDefinition& definition, const Variant& value, const std::string& where,
                std::vector<std::uint8_t>& bytes) {
    const std::string* text = value.get<std::string>();
    if (text == nullptr) throw Mismatch(where, "a text", value);
    const std::u16string units = Utf8ToUtf16(*text);
    if (units.size() > static_cast<std::size_t>(definition.size))
        throw Error(error_number::kOverflow,
                    where + ": the text has " + std::to_string(units.size()) +
                        " characters, the column holds " + std::to_string(definition.size));
    if (!jet::CompressUnicode(units, bytes)) AppendUcs2(bytes, units);
}

// Every object of the file is dated the same day, so that the same agenda gives the same bytes.
Date CreationDate() { return Date::FromCivil(2026, 1, 1); }

// A row of the catalog MSysObjects, in the order of its columns.
std::array<Variant, 11> CatalogRow(std::int64_t id, const std::string& name, std::int64_t type,
                                   std::int64_t flags, Variant database = Null{},
                                   Variant foreignName = Null{}) {
    const Date created = CreationDate();
    return {Variant(id),         Variant(std::int64_t{0x0F000001}),
            Variant(name),       Variant(type),
            Variant(flags),      Variant(created),
            Variant(created),    Variant(Null{}),
            std::move(database), std::move(foreignName),
            Variant(Null{})};
}

}  // namespace

std::uint32_t JetWriter::NewPage() {
    pages_.emplace_back();
    pages_.back().fill(0);
    return static_cast<std::uint32_t>(pages_.size() - 1);
}

void JetWriter::EnsureCatalog() {
    if (!pages_.empty()) return;
    NewPage();  // database definition
    NewPage();  // usage maps of every table
    tables_.push_back(Table{});
    AddTable("MSysObjects", {{"Id", ColumnType::kLong, 0},
                             {"ParentId", ColumnType::kLong, 0},
                             {"Name", ColumnType::kText, 128},
                             {"Type", ColumnType::kInteger, 0},
                             {"Flags", ColumnType::kLong, 0},
                             {"DateCreate", ColumnType::kDateTime, 0},
                             {"DateUpdate", ColumnType::kDateTime, 0},
                             // Object properties; none are written, but readers bind it.
                             {"LvProp", ColumnType::kOle, 0},
                             // Where a linked table lies.
                             {"Database", ColumnType::kMemo, 0},
                             {"ForeignName", ColumnType::kText, 128},
                             {"Connect", ColumnType::kMemo, 0}});
    tables_.erase(tables_.begin());
    tables_[0].system = true;
}

// An empty data page: its kind, and all of it but the header free.
void JetWriter::StartDataPage(std::uint32_t page) {
    pages_[page][0] = static_cast<std::uint8_t>(jet::PageType::kData);
    pages_[page][1] = 0x01;
    jet::WriteU16(&pages_[page][dp::kFreeSpaceOffset],
                  static_cast<std::uint16_t>(kPageSize - dp::kRowOffsetsStart));
}

JetWriter::TableId JetWriter::AddTable(const std::string& name,
                                       std::vector<ColumnDefinition> columns) {
    EnsureCatalog();
    if (columns.empty() || columns.size() > 255)
        throw Error(error_number::kInvalidProcedureCall,
                    "Table " + name + ": a table needs 1 to 255 columns");
    Table table;
    table.name = name;
    for (ColumnDefinition& definition : columns) {
        Column column;
        column.fixed = !IsVariable(definition.type);
        if (definition.type == ColumnType::kText && (definition.size < 1 || definition.size > 255))
            throw Error(
                error_number::kInvalidProcedureCall,
                "Table " + name + ", column " + definition.name + ": text size must be 1 to 255");
        if (column.fixed) {
            column.length = static_cast<std::uint16_t>(jet::FixedSize(definition.type));
            column.fixedOffset = table.fixedSize;
            table.fixedSize = static_cast<std::uint16_t>(table.fixedSize + column.length);
        } else {
            column.length = definition.type == ColumnType::kText
                                ? static_cast<std::uint16_t>(definition.size * 2)
                                : 0;
            column.variableIndex = table.variableCount++;
        }
        column.definition = std::move(definition);
        table.columns.push_back(std::move(column));
    }
    table.definitionPage = NewPage();
    tables_.push_back(std::move(table));
    return tables_.size() - 1;
}

std::vector<std::uint8_t> JetWriter::EncodeMemo(const std::string& utf8) {
    const std::u16string units = Utf8ToUtf16(utf8);
    std::vector<std::uint8_t> data;
    // Only a memo short enough to stay inline may be compressed.
    if (units.size() > kInlineMemoLimit || !jet::CompressUnicode(units, data) ||
        data.size() > kInlineMemoLimit) {
        data.clear();
        AppendUcs2(data, units);
    }
    std::vector<std::uint8_t> field(lv::kHeaderSize, 0);
    if (data.size() <= kInlineMemoLimit) {
        jet::WriteU32(field.data(), static_cast<std::uint32_t>(data.size()) | lv::kInline);
        field.insert(field.end(), data.begin(), data.end());
        return field;
    }
    if (data.size() > lv::kLengthMask)
        throw Error(error_number::kOverflow, currentRowContext_ + ": the memo is too long");
    // A chain of long-value rows, one page each, every row starting with the next one's
    // pointer; written from the last so that each knows where the next lies.
    std::uint32_t next = 0;
    const std::size_t chunks = (data.size() + kLongValueChunk - 1) / kLongValueChunk;
    for (std::size_t k = chunks; k-- > 0;) {
        std::vector<std::uint8_t> row(4, 0);
        jet::WriteU32(row.data(), next);
        const std::size_t begin = k * kLongValueChunk;
        const std::size_t end = std::min(data.size(), begin + kLongValueChunk);
        row.insert(row.end(), data.begin() + static_cast<std::ptrdiff_t>(begin),
                   data.begin() + static_cast<std::ptrdiff_t>(end));
        const std::uint32_t page = NewPage();
        StartDataPage(page);
        std::memcpy(&pages_[page][4], dp::kLongValueMarker, 4);
        const std::uint32_t rowNumber = PlaceRowOnPage(page, row);
        next = page << 8 | rowNumber;
    }
    jet::WriteU32(field.data(), static_cast<std::uint32_t>(data.size()));
    jet::WriteU32(field.data() + 4, next);
    return field;
}

std::vector<std::uint8_t> JetWriter::EncodeRow(const Table& table,
                                               std::span<const Variant> values) {
    RowAreas areas(table);
    const auto variableStart = static_cast<std::uint16_t>(2 + table.fixedSize);
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        const Column& column = table.columns[c];
        const Variant& value = values[c];
        const std::string where = currentRowContext_ + ", column " + column.definition.name;
        if (!column.fixed)
            areas.variableOffsets[column.variableIndex] =
                static_cast<std::uint16_t>(variableStart + areas.variable.size());
        if (value.isNull()) {
            if (column.definition.type == ColumnType::kBoolean)
                throw Error(error_number::kInvalidUseOfNull,
                            where + ": a Yes/No field cannot be NULL");
            continue;
        }
        // A Yes/No field is its bit of the null mask alone.
        if (column.definition.type == ColumnType::kBoolean) {
            if (EncodeBoolean(value, where)) areas.MarkPresent(c);
            continue;
        }
        const std::vector<std::uint8_t> bytes = EncodeField(column.definition, value, where);
        areas.MarkPresent(c);
        if (column.fixed) {
            std::memcpy(areas.fixed.data() + column.fixedOffset, bytes.data(), bytes.size());
        } else {
            areas.variable.insert(areas.variable.end(), bytes.begin(), bytes.end());
        }
    }
    return AssembleRow(table, areas);
}

std::vector<std::uint8_t> JetWriter::EncodeField(const ColumnDefinition& definition,
                                                 const Variant& value, const std::string& where) {
    std::vector<std::uint8_t> bytes;
    switch (definition.type) {
        case ColumnType::kByte:
        case ColumnType::kInteger:
        case ColumnType::kLong:
            EncodeWholeNumber(definition.type, value, where, bytes);
            break;
        case ColumnType::kSingle:
        case ColumnType::kDouble:
            EncodeRealNumber(definition.type, value, where, bytes);
            break;
        case ColumnType::kCurrency: {
            const Currency* amount = value.get<Currency>();
            if (amount == nullptr) throw Mismatch(where, "a currency amount", value);
            AppendLittleEndian(bytes, amount->tenThousandths);
            break;
        }
        case ColumnType::kDateTime: {
            // A double is the OLE date as stored: any double a file can hold.
            const Date* date = value.get<Date>();
            const double* ole = value.get<double>();
            if (date == nullptr && ole == nullptr) throw Mismatch(where, "a date", value);
            AppendLittleEndian(bytes, date ? date->ToOle() : *ole);
            break;
        }
        case ColumnType::kText:
            EncodeText(definition, value, where, bytes);
            break;
        case ColumnType::kMemo: {
            const std::string* text = value.get<std::string>();
            if (text == nullptr) throw Mismatch(where, "a text", value);
            bytes = EncodeMemo(*text);
            break;
        }
        default:
            throw Error(error_number::kInvalidProcedureCall, where + ": unsupported column type");
    }
    return bytes;
}

std::vector<std::uint8_t> JetWriter::AssembleRow(const Table& table, const RowAreas& areas) const {
    // Row: column count, fixed area, variable data, then from the end backwards the null
    // mask, the variable column count, the variable offsets and the end-of-data offset.
    std::vector<std::uint8_t> row;
    AppendLittleEndian(row, static_cast<std::uint16_t>(table.columns.size()));
    row.insert(row.end(), areas.fixed.begin(), areas.fixed.end());
    row.insert(row.end(), areas.variable.begin(), areas.variable.end());
    const auto endOfData = static_cast<std::uint16_t>(row.size());
    if (table.variableCount > 0) {
        AppendLittleEndian(row, endOfData);
        for (std::size_t v = table.variableCount; v-- > 0;)
            AppendLittleEndian(row, areas.variableOffsets[v]);
    }
    AppendLittleEndian(row, static_cast<std::uint16_t>(table.variableCount));
    row.insert(row.end(), areas.nullMask.begin(), areas.nullMask.end());
    if (row.size() > kMaxRow)
        throw Error(error_number::kOverflow, currentRowContext_ + ": the row takes " +
                                                 std::to_string(row.size()) +
                                                 " bytes, a page holds " + std::to_string(kMaxRow));
    return row;
}

std::uint32_t JetWriter::PlaceRowOnPage(std::uint32_t pageNumber,
                                        const std::vector<std::uint8_t>& row) {
    Page& page = pages_[pageNumber];
    const std::uint16_t rows = jet::ReadU16(&page[dp::kRowCountOffset]);
    const std::uint16_t free = jet::ReadU16(&page[dp::kFreeSpaceOffset]);
    // Rows fill the page from its end; the first row's offset marks the lowest used byte.
    const std::size_t top =
        rows == 0
            ? kPageSize
            : (jet::ReadU16(&page[dp::kRowOffsetsStart + 2 * (rows - 1)]) & dp::kRowOffsetMask);
    const std::size_t start = top - row.size();
    std::memcpy(&page[start], row.data(), row.size());
    jet::WriteU16(&page[dp::kRowOffsetsStart + 2 * rows], static_cast<std::uint16_t>(start));
    jet::WriteU16(&page[dp::kRowCountOffset], static_cast<std::uint16_t>(rows + 1));
    jet::WriteU16(&page[dp::kFreeSpaceOffset], static_cast<std::uint16_t>(free - row.size() - 2));
    return rows;
}

void JetWriter::PlaceRow(Table& table, const std::vector<std::uint8_t>& row) {
    if (table.currentPage != 0) {
        const std::uint16_t free = jet::ReadU16(&pages_[table.currentPage][dp::kFreeSpaceOffset]);
        if (free < row.size() + 2) table.currentPage = 0;
    }
    if (table.currentPage == 0) {
        const std::uint32_t page = NewPage();
        StartDataPage(page);
        jet::WriteU32(&pages_[page][dp::kTableDefinitionOffset], table.definitionPage);
        table.currentPage = page;
        table.dataPages.push_back(page);
    }
    PlaceRowOnPage(table.currentPage, row);
    ++table.rows;
}

void JetWriter::AppendRow(TableId id, std::span<const Variant> values) {
    Table& table = tables_.at(id);
    currentRowContext_ = "Table " + table.name + ", row " + std::to_string(table.rows + 1);
    if (values.size() != table.columns.size())
        throw Error(error_number::kInvalidProcedureCall,
                    currentRowContext_ + ": " + std::to_string(values.size()) + " values for " +
                        std::to_string(table.columns.size()) + " columns");
    PlaceRow(table, EncodeRow(table, values));
}

void JetWriter::WriteTableDefinition(const Table& table, std::uint32_t usedMap,
                                     std::uint32_t freeMap) {
    std::vector<std::uint8_t> definition(td::kHeaderSize, 0);
    definition[0] = static_cast<std::uint8_t>(jet::PageType::kTableDefinition);
    definition[1] = 0x01;
    definition[td::kIdOffset] = 'V';
    definition[td::kIdOffset + 1] = 'C';
    jet::WriteU32(&definition[td::kRowCountOffset], static_cast<std::uint32_t>(table.rows));
    jet::WriteU32(&definition[td::kAutonumberOffset], 1);
    definition[td::kTableTypeOffset] = table.system ? td::kSystemTable : td::kUserTable;
    const auto columnCount = static_cast<std::uint16_t>(table.columns.size());
    jet::WriteU16(&definition[td::kMaxColumnsOffset], columnCount);
    jet::WriteU16(&definition[td::kVariableColumnCountOffset], table.variableCount);
    jet::WriteU16(&definition[td::kColumnCountOffset], columnCount);
    jet::WriteU32(&definition[td::kUsedPagesOffset], usedMap);
    jet::WriteU32(&definition[td::kFreePagesOffset], freeMap);
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        const Column& column = table.columns[c];
        std::uint8_t entry[td::kColumnEntrySize] = {};
        entry[td::kColumnTypeOffset] = static_cast<std::uint8_t>(column.definition.type);
        jet::WriteU16(&entry[td::kColumnNumberOffset], static_cast<std::uint16_t>(c));
        jet::WriteU16(&entry[td::kColumnVariableIndexOffset], column.variableIndex);
        jet::WriteU16(&entry[td::kColumnIndexOffset], static_cast<std::uint16_t>(c));
        if (column.definition.type == ColumnType::kText ||
            column.definition.type == ColumnType::kMemo) {
            jet::WriteU16(&entry[11], 0x0409);  // general sort order
            entry[td::kColumnMiscFlagsOffset] = td::kColumnCompressedUnicode;
        }
        entry[td::kColumnFlagsOffset] = static_cast<std::uint8_t>(
            (column.fixed ? td::kColumnFixedLength : 0) | td::kColumnNullable);
        jet::WriteU16(&entry[td::kColumnFixedOffsetOffset], column.fixedOffset);
        jet::WriteU16(&entry[td::kColumnLengthOffset], column.length);
        definition.insert(definition.end(), entry, entry + td::kColumnEntrySize);
    }
    for (const Column& column : table.columns) {
        std::vector<std::uint8_t> name;
        AppendUcs2(name, Utf8ToUtf16(column.definition.name));
        AppendLittleEndian(definition, static_cast<std::uint16_t>(name.size()));
        definition.insert(definition.end(), name.begin(), name.end());
    }
    if (definition.size() > kPageSize)
        throw Error(error_number::kOverflow,
                    "Table " + table.name + ": too many columns for one page");
    jet::WriteU32(&definition[td::kLengthOffset],
                  static_cast<std::uint32_t>(definition.size() - 8));
    std::memcpy(pages_[table.definitionPage].data(), definition.data(), definition.size());
}

void JetWriter::SetPassword(const std::string& password) {
    if (Utf8ToUtf16(password).size() > jet::header::kPasswordSizeJet4 / 2)
        throw Error(error_number::kInvalidProcedureCall,
                    "A database password has at most 20 characters");
    password_ = password;
}

void JetWriter::Finish(const std::string& path) {
    EnsureCatalog();
    AppendCatalogRows();
    const std::vector<UsageMaps> maps = WriteUsageMaps();
    for (std::size_t t = 0; t < tables_.size(); ++t)
        WriteTableDefinition(tables_[t], maps[t].used, maps[t].free);
    // With a database key, every page but the first is RC4-coded with the key xor its number,
    // as Access's "Encrypt Database" leaves a file.
    if (databaseKey_ != 0)
        for (std::uint32_t number = 1; number < pages_.size(); ++number)
            jet::CodePage(databaseKey_, number, pages_[number]);
    WriteDatabaseDefinition();
    WriteFile(path);
}

// The catalog lists every table: the user tables, the linked ones, and itself last.
void JetWriter::AppendCatalogRows() {
    for (std::size_t t = 1; t < tables_.size(); ++t) {
        const auto row = CatalogRow(static_cast<std::int64_t>(tables_[t].definitionPage),
                                    tables_[t].name, jet::kObjectTypeTable, 0);
        AppendRow(0, row);
    }
    // Linked tables have no definition here; their numbers lie past every page of the file.
    for (std::size_t l = 0; l < links_.size(); ++l) {
        const LinkedTable& link = links_[l];
        const auto row =
            CatalogRow(static_cast<std::int64_t>(0x00FFFF00 + l), link.name,
                       jet::kObjectTypeLinkedTable, 0, link.database, link.foreignName);
        AppendRow(0, row);
    }
    const auto catalogRow =
        CatalogRow(std::int64_t{jet::kCatalogPage}, "MSysObjects", jet::kObjectTypeTable,
                   static_cast<std::int64_t>(static_cast<std::int32_t>(jet::kSystemObjectFlags)));
    AppendRow(0, catalogRow);
}

// Usage maps: a reference map per table pointing to bitmap pages, each of which covers
// (page size - 4) * 8 pages; and an empty inline map of free pages. All of them are rows of
// page 1.
std::vector<JetWriter::UsageMaps> JetWriter::WriteUsageMaps() {
    std::vector<UsageMaps> maps;
    StartDataPage(1);
    for (const Table& table : tables_) {
        std::vector<std::uint8_t> used{jet::usage_map::kReference};
        for (const std::uint32_t page : WriteUsageBitmaps(table)) AppendLittleEndian(used, page);
        if (used.size() > kMaxRow / 2)
            throw Error(error_number::kOverflow, "Table " + table.name + ": too many pages");
        const std::vector<std::uint8_t> freeMap{jet::usage_map::kInline, 0, 0, 0, 0, 0};
        if (jet::ReadU16(&pages_[1][dp::kFreeSpaceOffset]) < used.size() + freeMap.size() + 4)
            throw Error(error_number::kOverflow, "Too many tables for one usage map page");
        const std::uint32_t usedRow = PlaceRowOnPage(1, used);
        const std::uint32_t freeRow = PlaceRowOnPage(1, freeMap);
        maps.push_back({1u << 8 | usedRow, 1u << 8 | freeRow});
    }
    return maps;
}

std::vector<std::uint32_t> JetWriter::WriteUsageBitmaps(const Table& table) {
    const std::size_t bitsPerMapPage = (kPageSize - jet::usage_map::kBitmapPageHeader) * 8;
    std::uint32_t lastPage = 0;
    for (const std::uint32_t page : table.dataPages) lastPage = std::max(lastPage, page);
    const std::size_t mapPages = table.dataPages.empty() ? 0 : lastPage / bitsPerMapPage + 1;
    std::vector<std::uint32_t> bitmapPages;
    for (std::size_t m = 0; m < mapPages; ++m) {
        const std::uint32_t page = NewPage();
        pages_[page][0] = static_cast<std::uint8_t>(jet::PageType::kUsageMap);
        pages_[page][1] = 0x01;
        bitmapPages.push_back(page);
    }
    for (const std::uint32_t page : table.dataPages) {
        Page& bitmap = pages_[bitmapPages[page / bitsPerMapPage]];
        const std::size_t bit = page % bitsPerMapPage;
        bitmap[jet::usage_map::kBitmapPageHeader + bit / 8] |=
            static_cast<std::uint8_t>(1u << (bit % 8));
    }
    return bitmapPages;
}

// The database definition page; its header area is stored encrypted, so the plain header is
// run through the cipher once.
void JetWriter::WriteDatabaseDefinition() {
    Page& header = pages_[0];
    header[0] = static_cast<std::uint8_t>(jet::PageType::kDatabaseDefinition);
    header[1] = 0x01;
    std::memcpy(&header[jet::header::kMagicOffset], "Standard Jet DB", 16);
    header[jet::header::kVersionOffset] = jet::header::kVersionJet4;
    jet::WriteU16(&header[jet::header::kCodePageOffset], 1250);
    jet::WriteU16(&header[jet::header::kSortOrderOffsetJet4], 0x0409);
    const double creation = CreationDate().ToOle();
    std::memcpy(&header[jet::header::kCreationDateOffsetJet4], &creation, 8);
    jet::WriteU32(&header[jet::header::kDatabaseKeyOffset], databaseKey_);
    // The password in UCS-2, zeros after it, masked by the creation date (an empty password
    // is the mask alone).
    const std::u16string password = Utf8ToUtf16(password_);
    const auto dateMask =
        static_cast<std::uint32_t>(static_cast<std::int32_t>(std::floor(creation)));
    for (std::size_t i = 0; i < jet::header::kPasswordSizeJet4; ++i) {
        const char16_t unit = i / 2 < password.size() ? password[i / 2] : u'\0';
        const auto plain = static_cast<std::uint8_t>(i % 2 == 0 ? unit & 0xFF : unit >> 8);
        header[jet::header::kPasswordOffset + i] =
            static_cast<std::uint8_t>(plain ^ static_cast<std::uint8_t>(dateMask >> (8 * (i % 4))));
    }
    jet::Rc4(jet::header::kHeaderKey, 4, &header[jet::header::kEncryptedOffset],
             jet::header::kEncryptedSizeJet4);
}

void JetWriter::WriteFile(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw Error(error_number::kFileNotFound, "Cannot write " + path);
    for (const Page& page : pages_)
        out.write(reinterpret_cast<const char*>(page.data()), kPageSize);
    if (!out) throw Error(error_number::kFileNotFound, "Writing " + path + " failed");
}

}  // namespace infotrakon::mkagenda
