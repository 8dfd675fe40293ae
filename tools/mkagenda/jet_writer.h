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
    // double, Currency, Date, text). Raises an error naming the table, row and column when a
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

    std::uint32_t NewPage();
    std::vector<std::uint8_t> EncodeRow(const Table& table, std::span<const Variant> values);
    std::vector<std::uint8_t> EncodeMemo(const std::string& utf8);
    void PlaceRow(Table& table, const std::vector<std::uint8_t>& row);
    std::uint32_t PlaceRowOnPage(std::uint32_t pageNumber, const std::vector<std::uint8_t>& row);
    void WriteTableDefinition(const Table& table, std::uint32_t usedMap, std::uint32_t freeMap);
    void EnsureCatalog();

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
