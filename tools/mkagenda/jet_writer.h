#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/variant.h"
#include "jet/format.h"
#include "tools/mkagenda/table_writer.h"

namespace infotrakon::mkagenda {

// Writes a Jet 4 (Access 2000) file: the database definition page, the catalog
// MSysObjects, one table definition per table, usage maps and data pages. Tables are
// declared first; rows are then appended in any order of tables; Finish lays out the
// catalog and the usage maps and writes the file.
class JetWriter final : public TableWriter {
  public:
    TableId AddTable(const std::string& name, std::vector<ColumnDefinition> columns) override;
    // One value per column: Null, or the kind the column's type takes (bool, whole number,
    // double, Currency, Date or its OLE date as a double, text). Raises an error naming the table, row and column when a
    // value does not fit.
    void AppendRow(TableId table, std::span<const Variant> values) override;
    std::size_t rowCount(TableId table) const { return tables_[table].rows; }
    // A database password, up to 20 characters, as Access sets one.
    void SetPassword(const std::string& password);
    // Encrypts the file as Access's "Encrypt Database" does, under `key` (not 0).
    void Encrypt(std::uint32_t key) { databaseKey_ = key; }
    // A table that lies in another Access file, under `foreignName` there.
    void AddLinkedTable(const std::string& name, const std::string& database,
                        const std::string& foreignName) {
        links_.push_back({name, database, foreignName});
    }
    void Finish(const std::string& path);

  private:
    using Page = std::array<std::uint8_t, jet::kJet4PageSize>;
    struct Column {
        ColumnDefinition definition;
        bool fixed = false;
        std::uint16_t length = 0;       // bytes in the fixed area, or the text's byte limit
        std::uint16_t fixedOffset = 0;  // within the fixed area
        std::uint16_t variableIndex = 0;
    };
    struct Table {
        std::string name;
        std::vector<Column> columns;
        std::uint16_t fixedSize = 0;
        std::uint16_t variableCount = 0;
        std::uint32_t definitionPage = 0;
        std::vector<std::uint32_t> dataPages;
        std::uint32_t currentPage = 0;  // 0: none open
        std::size_t rows = 0;
        bool system = false;
    };

    // The parts of a row while its fields are encoded.
    struct RowAreas {
        explicit RowAreas(const Table& table)
            : fixed(table.fixedSize, 0),
              variableOffsets(table.variableCount, 0),
              nullMask((table.columns.size() + 7) / 8, 0) {}
        // Sets the column's bit of the null mask: it has a value (or, for Yes/No, is true).
        void MarkPresent(std::size_t column) {
            nullMask[column / 8] =
                static_cast<std::uint8_t>(nullMask[column / 8] | 1u << (column % 8));
        }
        std::vector<std::uint8_t> fixed;
        std::vector<std::uint8_t> variable;
        std::vector<std::uint16_t> variableOffsets;
        std::vector<std::uint8_t> nullMask;
    };
    // Where a table's usage maps lie: page 1 and their rows on it.
    struct UsageMaps {
        std::uint32_t used = 0;
        std::uint32_t free = 0;
    };

    std::uint32_t NewPage();
    void StartDataPage(std::uint32_t page);
    std::vector<std::uint8_t> EncodeRow(const Table& table, std::span<const Variant> values);
    // A field's bytes, for any type but Yes/No.
    std::vector<std::uint8_t> EncodeField(const ColumnDefinition& definition, const Variant& value,
                                          const std::string& where);
    std::vector<std::uint8_t> EncodeMemo(const std::string& utf8);
    std::vector<std::uint8_t> AssembleRow(const Table& table, const RowAreas& areas) const;
    void PlaceRow(Table& table, const std::vector<std::uint8_t>& row);
    std::uint32_t PlaceRowOnPage(std::uint32_t pageNumber, const std::vector<std::uint8_t>& row);
    void WriteTableDefinition(const Table& table, std::uint32_t usedMap, std::uint32_t freeMap);
    void EnsureCatalog();
    void AppendCatalogRows();
    std::vector<UsageMaps> WriteUsageMaps();
    // The bitmap pages that mark the table's data pages.
    std::vector<std::uint32_t> WriteUsageBitmaps(const Table& table);
    void WriteDatabaseDefinition();
    void WriteFile(const std::string& path) const;

    struct LinkedTable {
        std::string name, database, foreignName;
    };

    std::vector<Page> pages_;
    std::vector<Table> tables_;
    std::vector<LinkedTable> links_;
    std::string password_;
    std::uint32_t databaseKey_ = 0;
    std::string currentRowContext_;
};

}  // namespace infotrakon::mkagenda
