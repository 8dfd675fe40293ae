#include "agenda_db/jet/jet_recordset.h"

#include <bit>
#include <limits>

#include "core/error.h"

namespace infotrakon::agenda_db {
namespace {

// Where OLE dates begin to read as `date` or later, among those from 0 (30 December 1899) on.
// From 0 on a later double never reads as an earlier date (the reading rounds to the second),
// so that a stored date compares with this double as the date it reads as compares with `date`.
// Found once per scan by halving the doubles between 0 and the last date a field holds.
double FirstOleDateReadingAsFrom(const Date& date) {
    if (Date::FromOle(0) >= date) return 0;
    if (Date::FromOle(jet::kLastOleDate) < date) return std::numeric_limits<double>::infinity();
    // Non-negative doubles are in the order of their bits.
    auto before = std::bit_cast<std::uint64_t>(0.0);
    auto from = std::bit_cast<std::uint64_t>(jet::kLastOleDate);
    while (from - before > 1) {
        const std::uint64_t middle = before + (from - before) / 2;
        (Date::FromOle(std::bit_cast<double>(middle)) >= date ? from : before) = middle;
    }
    return std::bit_cast<double>(from);
}

// A comparison of the filter as the scan answers it on a row's stored bytes: the kind of its
// column and constant decided once, not for every row.
struct StoredComparison {
    enum class Kind {
        kFlag,   // a Boolean, held in the null mask: the answers for set and clear
        kWhole,  // a fixed whole number, compared as a number
        kDate,   // a fixed date with a date: as dates where it holds one the panel reads
        kValue,  // anything else: as its value
    };
    const BoundComparison* bound;
    Kind kind;
    bool whenSet = false;
    bool whenClear = false;
    double firstOleDate = 0;  // of a date "at least": where stored dates from 0 on pass
};

StoredComparison::Kind KindOf(const jet::ColumnInfo& column, const Comparison& comparison) {
    using Kind = StoredComparison::Kind;
    using Type = jet::ColumnType;
    if (column.type == Type::kBoolean) return Kind::kFlag;
    if (!column.fixed) return Kind::kValue;
    if (column.type == Type::kDateTime)
        return comparison.constant.get<Date>() ? Kind::kDate : Kind::kValue;
    const bool whole =
        column.type == Type::kByte || column.type == Type::kInteger || column.type == Type::kLong;
    return whole ? Kind::kWhole : Kind::kValue;
}

StoredComparison Stored(const BoundComparison& bound, const jet::TableInfo& table) {
    const Comparison& comparison = bound.comparison;
    StoredComparison stored{&bound, KindOf(table.columns[bound.column], comparison),
                            SatisfiesNumber(-1, comparison), SatisfiesNumber(0, comparison)};
    if (stored.kind == StoredComparison::Kind::kDate)
        stored.firstOleDate = FirstOleDateReadingAsFrom(*comparison.constant.get<Date>());
    return stored;
}

// The filter's comparisons that the cursor can test on a row's bytes, up to the first it
// cannot: those after it may only reject a row where it passes.
std::vector<jet::StoredTest> RowTests(const std::vector<StoredComparison>& filter) {
    std::vector<jet::StoredTest> tests;
    using Kind = StoredComparison::Kind;
    for (const StoredComparison& stored : filter) {
        const Comparison& comparison = stored.bound->comparison;
        jet::StoredTest test;
        test.column = stored.bound->column;
        test.equal = comparison.op == Comparison::Operator::kEqual;
        if (stored.kind == Kind::kFlag) {
            test.whenSet = stored.whenSet;
            test.whenClear = stored.whenClear;
        } else if (stored.kind == Kind::kWhole && comparison.constantNumber) {
            test.kind = jet::StoredTest::Kind::kNumber;
            test.constant = *comparison.constantNumber;
        } else if (stored.kind == Kind::kDate && !test.equal) {
            test.kind = jet::StoredTest::Kind::kOleDateFrom;
            test.constant = stored.firstOleDate;
        } else {
            break;
        }
        tests.push_back(test);
    }
    return tests;
}

// The day hint as stored dates from 0 on meet it: from the first day's midnight to the one
// after the last day.
struct DaysAsOleDates {
    const BoundDays* days;
    double first;
    double afterLast;
};

// The table's records in the file's order. The filter's comparisons and the day hint are
// answered on the stored bytes where those can answer them.
class JetScan final : public RecordScan {
  public:
    JetScan(const jet::Database& database, const jet::TableInfo& table, const Selection& selection)
        : cursor_(database, table) {
        for (const BoundComparison& bound : selection.filter)
            stored_.push_back(Stored(bound, table));
        if (const std::optional<BoundDays>& days = selection.days)
            storedDays_ = {&*days, FirstOleDateReadingAsFrom(days->first),
                           FirstOleDateReadingAsFrom(days->last.AddDays(1))};
        std::vector<jet::StoredTest> tests = RowTests(stored_);
        // The days count only for rows that the whole filter passes.
        std::optional<jet::StoredDays> days;
        if (storedDays_ && tests.size() == stored_.size())
            days =
                jet::StoredDays{selection.days->column, storedDays_->first, storedDays_->afterLast};
        cursor_.PassOver(std::move(tests), days);
    }

    std::int32_t TakeLeftOutByDays() override {
        return static_cast<std::int32_t>(cursor_.TakeOutsideDays());
    }

    bool Next() override { return cursor_.Next(); }

    bool Satisfies(const BoundComparison& bound) override {
        for (const StoredComparison& stored : stored_)
            if (stored.bound == &bound) return SatisfiesStored(stored);
        return SatisfiesAsValue(bound);
    }

    bool InDays(const BoundDays& days) override {
        std::optional<double> stored;
        try {
            stored = cursor_.StoredOleDate(days.column);
        } catch (const Error&) {
            return true;  // a damaged field is the reader's to meet, at its record
        }
        if (!stored) return true;
        if (storedDays_ && storedDays_->days == &days && *stored >= 0)
            return storedDays_->first <= *stored && *stored < storedDays_->afterLast;
        const Date day = Date::FromOle(*stored).WholeDay();
        return days.first <= day && day <= days.last;
    }

    Variant Value(std::size_t column) override { return cursor_.Value(column); }

  private:
    // Booleans, whole numbers and dates are compared as stored; other fields as their values.
    bool SatisfiesStored(const StoredComparison& stored) {
        const BoundComparison& bound = *stored.bound;
        using Kind = StoredComparison::Kind;
        switch (stored.kind) {
            case Kind::kFlag:
                return cursor_.Flag(bound.column) ? stored.whenSet : stored.whenClear;
            case Kind::kWhole: {
                const jet::StoredNumber number = cursor_.Number(bound.column);
                return number.kind == jet::StoredNumber::Kind::kNumber &&
                       SatisfiesNumber(number.number, bound.comparison);
            }
            case Kind::kDate:
                if (const std::optional<double> ole = cursor_.StoredOleDate(bound.column))
                    return SatisfiesDate(stored, *ole);
                break;
            case Kind::kValue:
                break;
        }
        return SatisfiesAsValue(bound);
    }

    static bool SatisfiesDate(const StoredComparison& stored, double ole) {
        const Comparison& comparison = stored.bound->comparison;
        const bool atLeast = comparison.op == Comparison::Operator::kAtLeast;
        if (atLeast && ole >= 0) return ole >= stored.firstOleDate;
        const Date date = Date::FromOle(ole);
        const Date& constant = *comparison.constant.get<Date>();
        return atLeast ? date >= constant : date == constant;
    }

    bool SatisfiesAsValue(const BoundComparison& bound) {
        return agenda_db::Satisfies(cursor_.Value(bound.column), bound.comparison);
    }

    jet::TableCursor cursor_;
    std::vector<StoredComparison> stored_;  // the filter's, in its order
    std::optional<DaysAsOleDates> storedDays_;
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
    JetScan scan(*database_, table_, selection);
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
