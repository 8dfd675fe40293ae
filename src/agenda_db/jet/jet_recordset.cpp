#include "agenda_db/jet/jet_recordset.h"

#include "core/error.h"

namespace infotrakon::agenda_db {
namespace {

// The table's records in the file's order.
class JetScan final : public RecordScan {
  public:
    JetScan(const jet::Database& database, const jet::TableInfo& table)
        : cursor_(database, table) {}

    bool Next() override { return cursor_.Next(); }

    // Booleans, whole numbers and dates are compared as stored; other fields as their values.
    bool Satisfies(const BoundComparison& bound) override {
        if (const Date* constant = bound.comparison.constant.get<Date>()) {
            if (const std::optional<Date> date = cursor_.StoredDate(bound.column))
                return bound.comparison.op == Comparison::Operator::kEqual ? *date == *constant
                                                                           : *date >= *constant;
        }
        const jet::StoredNumber stored = cursor_.Number(bound.column);
        using Kind = jet::StoredNumber::Kind;
        return stored.kind == Kind::kOther
                   ? agenda_db::Satisfies(cursor_.Value(bound.column), bound.comparison)
               : stored.kind == Kind::kNull ? false
                                            : SatisfiesNumber(stored.number, bound.comparison);
    }

    bool InDays(const BoundDays& days) override {
        std::optional<Date> stored;
        try {
            stored = cursor_.StoredDate(days.column);
        } catch (const Error&) {
            return true;  // a damaged field is the reader's to meet, at its record
        }
        if (!stored) return true;
        const Date day = stored->WholeDay();
        return days.first <= day && day <= days.last;
    }

    Variant Value(std::size_t column) override { return cursor_.Value(column); }

  private:
    jet::TableCursor cursor_;
};

// The records that the count kept, one after the other.
class KeptRecords final : public SelectedRecords {
  public:
    using Unreadable = std::map<std::pair<std::size_t, std::size_t>, Error>;

    KeptRecords(const PackedRows& kept, std::size_t width, const std::vector<std::int32_t>& places,
                const std::vector<std::size_t>& keptAt, const Unreadable& unreadable)
        : reader_(kept, width), places_(places), keptAt_(keptAt), unreadable_(unreadable) {}

    bool Next() override {
        if (!reader_.Next()) return false;
        ++record_;
        return true;
    }
    // Without a day range every selected record was kept, and its place is its number.
    std::int32_t Place() const override {
        return places_.empty() ? static_cast<std::int32_t>(record_) : places_[record_ - 1];
    }
    Variant Value(std::size_t column) override {
        if (!unreadable_.empty()) {
            const auto error = unreadable_.find({record_ - 1, column});
            if (error != unreadable_.end()) throw error->second;
        }
        return reader_.Value(keptAt_[column]);
    }

  private:
    PackedRows::Reader reader_;
    const std::vector<std::int32_t>& places_;
    const std::vector<std::size_t>& keptAt_;
    const Unreadable& unreadable_;
    std::size_t record_ = 0;  // the current one, from 1
};

}  // namespace

JetRecordset::JetRecordset(std::unique_ptr<jet::Database> database, jet::TableInfo table)
    : FilteredRecordset(table.name), database_(std::move(database)), table_(std::move(table)) {}

std::vector<std::string> JetRecordset::FieldNames() const {
    std::vector<std::string> names;
    for (const jet::ColumnInfo& column : table_.columns) names.push_back(column.name);
    return names;
}

std::optional<std::size_t> JetRecordset::FindColumn(const std::string& name) const {
    return table_.FindColumn(name);
}

std::size_t JetRecordset::Count(const Selection& selection) {
    ForgetRecords();
    std::vector<std::size_t> read;
    keptAt_.assign(table_.columns.size(), 0);
    for (std::size_t column = 0; column < selection.kept.size(); ++column)
        if (selection.kept[column]) {
            keptAt_[column] = read.size();
            read.push_back(column);
        }
    width_ = read.size();
    JetScan scan(*database_, table_);
    std::int32_t place = 0;
    while (NextSelected(scan, selection, place)) {
        CheckCountable(kept_.size());
        if (selection.days) places_.push_back(place);
        kept_.StartRow();
        for (const std::size_t column : read) Keep(scan, column);
    }
    return kept_.size();
}

void JetRecordset::Keep(RecordScan& scan, std::size_t column) {
    try {
        kept_.Put(scan.Value(column));
    } catch (const Error& error) {
        unreadable_.emplace(std::pair(kept_.size() - 1, column), error);
        kept_.Put(Null{});
    }
}

std::unique_ptr<SelectedRecords> JetRecordset::Select(const Selection&) {
    return std::make_unique<KeptRecords>(kept_, width_, places_, keptAt_, unreadable_);
}

void JetRecordset::ForgetRecords() {
    kept_.Clear();
    unreadable_.clear();
    places_.clear();
    places_.shrink_to_fit();
}

}  // namespace infotrakon::agenda_db
