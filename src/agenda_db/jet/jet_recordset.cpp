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
    // Booleans and whole numbers are compared as stored; other fields as their values.
    const auto passes = [&] {
        for (const BoundComparison& bound : filter) {
            const jet::StoredNumber stored = scan.Number(bound.column);
            using Kind = jet::StoredNumber::Kind;
            const bool satisfied =
                stored.kind == Kind::kOther  ? Satisfies(scan.Value(bound.column), bound.comparison)
                : stored.kind == Kind::kNull ? false
                                             : SatisfiesNumber(stored.number, bound.comparison);
            if (!satisfied) return false;
        }
        return true;
    };
    while (scan.Next()) {
        if (!passes()) continue;
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
