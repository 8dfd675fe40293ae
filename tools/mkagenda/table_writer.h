#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "core/variant.h"
#include "jet/format.h"

namespace infotrakon::mkagenda {

struct ColumnDefinition {
    std::string name;
    jet::ColumnType type = jet::ColumnType::kLong;
    int size = 0;  // characters, for text columns
};

// Where an agenda's tables and rows go: a Jet file, a PostgreSQL script, or both.
class TableWriter {
  public:
    using TableId = std::size_t;
    virtual ~TableWriter() = default;
    virtual TableId AddTable(const std::string& name, std::vector<ColumnDefinition> columns) = 0;
    // One value per column; raises an error naming the table, row and column when a value
    // does not fit.
    virtual void AppendRow(TableId table, std::span<const Variant> values) = 0;
};

// Hands every table and row to several writers in turn; the first one checks the values.
// Each writer numbers its tables its own way.
class TeeWriter final : public TableWriter {
  public:
    explicit TeeWriter(std::vector<TableWriter*> writers) : writers_(std::move(writers)) {}
    TableId AddTable(const std::string& name, std::vector<ColumnDefinition> columns) override {
        std::vector<TableId>& ids = ids_.emplace_back();
        for (TableWriter* writer : writers_) ids.push_back(writer->AddTable(name, columns));
        return ids_.size() - 1;
    }
    void AppendRow(TableId table, std::span<const Variant> values) override {
        for (std::size_t i = 0; i < writers_.size(); ++i)
            writers_[i]->AppendRow(ids_.at(table)[i], values);
    }

  private:
    std::vector<TableWriter*> writers_;
    std::vector<std::vector<TableId>> ids_;  // per table, the id each writer gave it
};

}  // namespace infotrakon::mkagenda
