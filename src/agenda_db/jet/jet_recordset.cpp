#include "agenda_db/jet/jet_recordset.h"

namespace infotrakon::agenda_db {

JetRecordset::JetRecordset(std::unique_ptr<jet::Database> database, jet::TableInfo table)
    : FilteredRecordset(table.name),
      database_(std::move(database)),
      table_(std::move(table)),
      cursor_(*database_, table_) {}

std::vector<std::string> JetRecordset::FieldNames() const {
    std::vector<std::string> names;
    for (const jet::ColumnInfo& column : table_.columns) names.push_back(column.name);
    return names;
}

std::optional<std::size_t> JetRecordset::FindColumn(const std::string& name) const {
    return table_.FindColumn(name);
}

std::size_t JetRecordset::FindRecords(const std::vector<BoundComparison>& filter) {
    positions_.clear();
    jet::TableCursor scan(*database_, table_);
    while (scan.Next()) {
        if (!Passes(filter, [&](std::size_t column) { return scan.Value(column); })) continue;
        CheckCountable(positions_.size());
        positions_.push_back(scan.position());
    }
    loaded_ = std::numeric_limits<std::size_t>::max();
    return positions_.size();
}

Variant JetRecordset::Value(std::size_t record, std::size_t column) {
    if (loaded_ != record) {
        cursor_.Seek(positions_[record]);
        loaded_ = record;
    }
    return cursor_.Value(column);
}

void JetRecordset::ForgetRecords() {
    positions_.clear();
    positions_.shrink_to_fit();
}

}  // namespace infotrakon::agenda_db
