#include "agenda_db/jet/jet_recordset.h"

namespace infotrakon::agenda_db {
namespace {

// The table's records in the file's order; a record is kept as its place in the file.
class JetScan final : public RecordScan {
  public:
    JetScan(const jet::Database& database, const jet::TableInfo& table,
            std::vector<jet::RowPosition>& kept)
        : cursor_(database, table), kept_(kept) {}

    bool Next() override { return cursor_.Next(); }

    // Booleans and whole numbers are compared as stored; other fields as their values.
    bool Satisfies(const BoundComparison& bound) override {
        const jet::StoredNumber stored = cursor_.Number(bound.column);
        using Kind = jet::StoredNumber::Kind;
        return stored.kind == Kind::kOther
                   ? agenda_db::Satisfies(cursor_.Value(bound.column), bound.comparison)
               : stored.kind == Kind::kNull ? false
                                            : SatisfiesNumber(stored.number, bound.comparison);
    }

    void Keep() override { kept_.push_back(cursor_.position()); }

  private:
    jet::TableCursor cursor_;
    std::vector<jet::RowPosition>& kept_;
};

}  // namespace

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

// The rows stay in the file and their fields are decoded when read: the scan is the same
// whatever fields are read.
std::unique_ptr<RecordScan> JetRecordset::Scan(const std::vector<BoundComparison>&,
                                               const std::vector<bool>&) {
    loaded_ = std::numeric_limits<std::size_t>::max();
    return std::make_unique<JetScan>(*database_, table_, positions_);
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
