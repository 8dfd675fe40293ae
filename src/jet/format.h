#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

// The Jet database file format (Jet 3 = Access 97, Jet 4 = Access 2000-2003): page kinds,
// header fields and offsets, and column type codes. Shared by the reader and the writer.
namespace infotrakon::jet {

inline constexpr std::size_t kJet3PageSize = 2048;
inline constexpr std::size_t kJet4PageSize = 4096;

enum class PageType : std::uint8_t {
    kDatabaseDefinition = 0x00,
    kData = 0x01,
    kTableDefinition = 0x02,
    kIntermediateIndex = 0x03,
    kLeafIndex = 0x04,
    kUsageMap = 0x05,
};

// Database definition page.
namespace header {
inline constexpr std::size_t kMagicOffset = 0x04;  // "Standard Jet DB\0"
inline constexpr std::size_t kVersionOffset = 0x14;
inline constexpr std::uint8_t kVersionJet3 = 0x00;
inline constexpr std::uint8_t kVersionJet4 = 0x01;
// The header area from here is RC4-encrypted with a fixed key.
inline constexpr std::size_t kEncryptedOffset = 0x18;
inline constexpr std::size_t kEncryptedSizeJet3 = 126;
inline constexpr std::size_t kEncryptedSizeJet4 = 128;
inline constexpr std::uint8_t kHeaderKey[4] = {0xC7, 0xDA, 0x39, 0x6B};
// Within the decrypted header.
inline constexpr std::size_t kCodePageOffset = 0x3C;
inline constexpr std::size_t kDatabaseKeyOffset = 0x3E;  // non-zero: pages are encrypted
inline constexpr std::size_t kPasswordOffset = 0x42;
inline constexpr std::size_t kPasswordSizeJet3 = 20;
inline constexpr std::size_t kPasswordSizeJet4 = 40;
inline constexpr std::size_t kSortOrderOffsetJet4 = 0x6E;
inline constexpr std::size_t kCreationDateOffsetJet4 = 0x72;
}  // namespace header

// Data pages (Jet 4 offsets).
namespace data_page {
inline constexpr std::size_t kFreeSpaceOffset = 2;
inline constexpr std::size_t kTableDefinitionOffset = 4;
inline constexpr std::size_t kRowCountOffset = 12;
inline constexpr std::size_t kRowOffsetsStart = 14;
inline constexpr std::uint16_t kRowDeleted = 0x8000;
inline constexpr std::uint16_t kRowLookup = 0x4000;  // the row holds a pointer elsewhere
inline constexpr std::uint16_t kRowOffsetMask = 0x1FFF;
inline constexpr char kLongValueMarker[4] = {'L', 'V', 'A', 'L'};
}  // namespace data_page

// Table definition pages (Jet 4 offsets).
namespace table_definition {
inline constexpr std::size_t kIdOffset = 2;  // "VC"
inline constexpr std::size_t kNextPageOffset = 4;
inline constexpr std::size_t kLengthOffset = 8;
inline constexpr std::size_t kRowCountOffset = 16;
inline constexpr std::size_t kAutonumberOffset = 20;
inline constexpr std::size_t kTableTypeOffset = 40;
inline constexpr std::size_t kMaxColumnsOffset = 41;
inline constexpr std::size_t kVariableColumnCountOffset = 43;
inline constexpr std::size_t kColumnCountOffset = 45;
inline constexpr std::size_t kLogicalIndexCountOffset = 47;
inline constexpr std::size_t kRealIndexCountOffset = 51;
inline constexpr std::size_t kUsedPagesOffset = 55;
inline constexpr std::size_t kFreePagesOffset = 59;
inline constexpr std::size_t kHeaderSize = 63;
inline constexpr std::size_t kRealIndexEntrySize = 12;
inline constexpr std::uint8_t kUserTable = 0x4E;
inline constexpr std::uint8_t kSystemTable = 0x53;

// One column descriptor.
inline constexpr std::size_t kColumnEntrySize = 25;
inline constexpr std::size_t kColumnTypeOffset = 0;
inline constexpr std::size_t kColumnNumberOffset = 5;
inline constexpr std::size_t kColumnVariableIndexOffset = 7;
inline constexpr std::size_t kColumnIndexOffset = 9;
inline constexpr std::size_t kColumnFlagsOffset = 15;
inline constexpr std::size_t kColumnMiscFlagsOffset = 16;
inline constexpr std::uint8_t kColumnCompressedUnicode = 0x01;
inline constexpr std::size_t kColumnFixedOffsetOffset = 21;
inline constexpr std::size_t kColumnLengthOffset = 23;
inline constexpr std::uint8_t kColumnFixedLength = 0x01;
inline constexpr std::uint8_t kColumnNullable = 0x02;
}  // namespace table_definition

// Where the two versions put the fields a reader needs; the Jet 4 values are those of the
// namespaces above.
struct Layout {
    std::size_t pageSize;
    std::size_t dataRowCountOffset;
    std::size_t dataRowOffsetsStart;
    std::size_t definitionRowCountOffset;
    std::size_t definitionVariableColumnCountOffset;
    std::size_t definitionColumnCountOffset;
    std::size_t definitionRealIndexCountOffset;
    std::size_t definitionUsedPagesOffset;
    std::size_t definitionHeaderSize;
    std::size_t realIndexEntrySize;
    std::size_t columnEntrySize;
    std::size_t columnNumberOffset;
    std::size_t columnVariableIndexOffset;
    std::size_t columnFlagsOffset;
    std::size_t columnFixedOffsetOffset;
    std::size_t columnLengthOffset;
    std::size_t columnPrecisionOffset;
    std::size_t columnScaleOffset;
    std::size_t nameLengthSize;     // bytes of a column name's length
    std::size_t rowCountFieldSize;  // bytes of a row's column count and variable count
};

inline constexpr Layout kJet3Layout{
    .pageSize = kJet3PageSize,
    .dataRowCountOffset = 8,
    .dataRowOffsetsStart = 10,
    .definitionRowCountOffset = 12,
    .definitionVariableColumnCountOffset = 23,
    .definitionColumnCountOffset = 25,
    .definitionRealIndexCountOffset = 31,
    .definitionUsedPagesOffset = 35,
    .definitionHeaderSize = 43,
    .realIndexEntrySize = 8,
    .columnEntrySize = 18,
    .columnNumberOffset = 1,
    .columnVariableIndexOffset = 3,
    .columnFlagsOffset = 13,
    .columnFixedOffsetOffset = 14,
    .columnLengthOffset = 16,
    .columnPrecisionOffset = 11,
    .columnScaleOffset = 12,
    .nameLengthSize = 1,
    .rowCountFieldSize = 1,
};

inline constexpr Layout kJet4Layout{
    .pageSize = kJet4PageSize,
    .dataRowCountOffset = data_page::kRowCountOffset,
    .dataRowOffsetsStart = data_page::kRowOffsetsStart,
    .definitionRowCountOffset = table_definition::kRowCountOffset,
    .definitionVariableColumnCountOffset = table_definition::kVariableColumnCountOffset,
    .definitionColumnCountOffset = table_definition::kColumnCountOffset,
    .definitionRealIndexCountOffset = table_definition::kRealIndexCountOffset,
    .definitionUsedPagesOffset = table_definition::kUsedPagesOffset,
    .definitionHeaderSize = table_definition::kHeaderSize,
    .realIndexEntrySize = table_definition::kRealIndexEntrySize,
    .columnEntrySize = table_definition::kColumnEntrySize,
    .columnNumberOffset = table_definition::kColumnNumberOffset,
    .columnVariableIndexOffset = table_definition::kColumnVariableIndexOffset,
    .columnFlagsOffset = table_definition::kColumnFlagsOffset,
    .columnFixedOffsetOffset = table_definition::kColumnFixedOffsetOffset,
    .columnLengthOffset = table_definition::kColumnLengthOffset,
    .columnPrecisionOffset = 11,
    .columnScaleOffset = 12,
    .nameLengthSize = 2,
    .rowCountFieldSize = 2,
};

// Usage maps: type 0 carries its bitmap inline; type 1 points to bitmap pages.
namespace usage_map {
inline constexpr std::uint8_t kInline = 0x00;
inline constexpr std::uint8_t kReference = 0x01;
inline constexpr std::size_t kBitmapPageHeader = 4;
inline constexpr std::size_t kInlineHeader = 5;  // the type and the first page
}  // namespace usage_map

enum class ColumnType : std::uint8_t {
    kBoolean = 1,
    kByte = 2,
    kInteger = 3,
    kLong = 4,
    kCurrency = 5,
    kSingle = 6,
    kDouble = 7,
    kDateTime = 8,
    kBinary = 9,
    kText = 10,
    kOle = 11,
    kMemo = 12,
    kGuid = 15,
    kNumeric = 16,
};
inline constexpr std::size_t kNumericSize = 17;  // a sign byte, then four 32-bit words

// Memo and OLE fields: a 12-byte header in the row, the length's top bits telling where
// the data lies.
namespace long_value {
inline constexpr std::size_t kHeaderSize = 12;
inline constexpr std::uint32_t kInline = 0x80000000u;
inline constexpr std::uint32_t kSinglePage = 0x40000000u;
inline constexpr std::uint32_t kLengthMask = 0x3FFFFFFFu;
inline constexpr std::size_t kPointerOffset = 4;  // row number, then a 3-byte page number
}  // namespace long_value

// System catalog.
inline constexpr std::uint32_t kCatalogPage = 2;
inline constexpr std::int16_t kObjectTypeTable = 1;
inline constexpr std::int16_t kObjectTypeLinkedOdbc = 4;   // a table of an ODBC source
inline constexpr std::int16_t kObjectTypeLinkedTable = 6;  // a table of another Jet file
inline constexpr std::uint32_t kSystemObjectFlags = 0x80000002u;

// Byte-order helpers for the little-endian file.
inline std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline double ReadDouble(const std::uint8_t* p) {
    double value;  // both the file and every machine we run on are little-endian
    std::memcpy(&value, p, sizeof value);
    return value;
}
inline void WriteU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void WriteU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Jet 4 text: UCS-2, or "compressed Unicode": the marker FF FE, then runs of one byte per
// character (the character's high byte zero), switched to and from two-byte runs by a single
// 00 byte. A reader meets both; the writer compresses a text only when every character fits
// one byte and none is zero, so that no two-byte run is needed.
inline constexpr std::uint8_t kCompressedTextMarker[2] = {0xFF, 0xFE};
bool CompressUnicode(std::u16string_view text, std::vector<std::uint8_t>& out);
std::u16string DecodeUnicodeText(std::span<const std::uint8_t> bytes);

// Bytes a fixed column of that type takes; 0 for YES/NO (held in the null mask) and for the
// variable types. Inline: a filter asks it for every row.
constexpr std::size_t FixedSize(ColumnType type) {
    switch (type) {
        case ColumnType::kByte:
            return 1;
        case ColumnType::kInteger:
            return 2;
        case ColumnType::kLong:
        case ColumnType::kSingle:
            return 4;
        case ColumnType::kCurrency:
        case ColumnType::kDouble:
        case ColumnType::kDateTime:
            return 8;
        case ColumnType::kGuid:
            return 16;
        case ColumnType::kNumeric:
            return kNumericSize;
        default:
            return 0;
    }
}

// OLE dates of 1 January 100 and 31 December 9999, the range a date field can hold.
inline constexpr double kFirstOleDate = -657434.0;
inline constexpr double kLastOleDate = 2958466.0;

// The fixed-key stream cipher of the header area (and of encrypted pages).
void Rc4(const std::uint8_t* key, std::size_t keyLength, std::uint8_t* data, std::size_t length);
// Codes a page of an encrypted file: RC4 under the database key xor the page's number. The
// cipher is its own inverse, so this both encrypts and decrypts.
void CodePage(std::uint32_t databaseKey, std::uint32_t page, std::span<std::uint8_t> bytes);

}  // namespace infotrakon::jet
