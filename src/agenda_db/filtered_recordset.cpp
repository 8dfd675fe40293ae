#include "agenda_db/filtered_recordset.h"

#include <algorithm>
#include <limits>

#include "core/error.h"

namespace infotrakon::agenda_db {

bool NextSelected(RecordScan& scan, const Selection& selection, std::int32_t& place) {
    while (scan.Next()) {
        place += scan.TakeLeftOutByDays();
        if (!std::all_of(selection.filter.begin(), selection.filter.end(),
                         [&](const BoundComparison& bound) { return scan.Satisfies(bound); }))
            continue;
        ++place;
        if (!selection.days || scan.InDays(*selection.days)) return true;
    }
    return false;
}

void FilteredRecordset::SetFilter(const std::string& text) {
    CheckOpen();
    Filter filter = ParseFilter(text);
    std::vector<BoundComparison> bound;
    for (Comparison& comparison : filter.comparisons) {
        const auto column = FindColumn(comparison.field);
        if (!column)
            throw Error(error_number::kInvalidFilter,
                        "The filter \"" + text + "\" names the field " + comparison.field +
                            ", which table " + table_ + " does not have");
        bound.push_back({std::move(comparison), *column});
    }
    selection_.filter = std::move(bound);
    StartAgain();
}

void FilteredRecordset::SetFieldsRead(const std::vector<std::string>& fields) {
    CheckOpen();
    // A name the table has not got is left to FieldValue, which raises the error of a
    // missing field only where the field is read.
    fieldsRead_.clear();
    for (const std::string& name : fields)
        if (const auto column = FindColumn(name)) fieldsRead_.push_back(*column);
    StartAgain();
}

void FilteredRecordset::SetDaysRead(const std::string& field, const Date& first, const Date& last) {
    CheckOpen();
    // A hint on a field the table has not got leaves every record in, for the reader to meet
    // the missing field as it would without the hint.
    selection_.days.reset();
    if (const auto column = FindColumn(field))
        selection_.days = BoundDays{*column, first.WholeDay(), last.WholeDay()};
    StartAgain();
}

void FilteredRecordset::StartAgain() {
    count_.reset();
    walk_.reset();
    walkAt_ = 0;
    ForgetRecords();
    current_ = 0;
}

std::int32_t FilteredRecordset::RecordCount() {
    Load();
    return static_cast<std::int32_t>(*count_);
}

void FilteredRecordset::MoveFirst() {
    Load();
    if (*count_ == 0) NoCurrentRecord();
    current_ = 0;
}

void FilteredRecordset::MoveNext() {
    Load();
    if (current_ >= *count_) NoCurrentRecord();
    ++current_;
}

std::int32_t FilteredRecordset::AbsolutePosition() {
    Load();
    if (current_ >= *count_) NoCurrentRecord();
    return AtCurrent().Place();
}

Variant FilteredRecordset::FieldValue(const std::string& name) {
    Load();
    // Readers ask for the same few fields record after record; each name is matched once.
    auto known = columns_.find(name);
    if (known == columns_.end()) known = columns_.emplace(name, FindColumn(name)).first;
    const std::optional<std::size_t> column = known->second;
    if (!column)
        throw Error(error_number::kItemNotFound,
                    "Item cannot be found in the collection corresponding to the requested "
                    "name: table " +
                        table_ + " has no field " + name);
    CheckNamedForReading(name, *column);
    if (current_ >= *count_) NoCurrentRecord();
    return AtCurrent().Value(*column);
}

void FilteredRecordset::Close() {
    CheckOpen();
    closed_ = true;
    StartAgain();
}

SelectedRecords& FilteredRecordset::AtCurrent() {
    // The walk reads forward; going back to the first starts it again, only once a record is
    // read there, so that the MoveFirst that ends a walk costs nothing.
    if (walk_ && walkAt_ > current_ + 1) {
        walk_.reset();
        walkAt_ = 0;
    }
    if (!walk_) walk_ = Select(selection_);
    while (walkAt_ < current_ + 1) {
        if (!walk_->Next())
            throw Error(error_number::kNoCurrentRecord,
                        "Table " + table_ + " gave fewer records than it counted (" +
                            std::to_string(*count_) + "): it changed while it was read");
        ++walkAt_;
    }
    return *walk_;
}

std::vector<bool> FilteredRecordset::ColumnsKept() const {
    std::vector<bool> kept(FieldNames().size(), fieldsRead_.empty());
    for (const std::size_t column : fieldsRead_) kept[column] = true;
    return kept;
}

std::vector<bool> FilteredRecordset::ColumnsRead() const {
    std::vector<bool> read = ColumnsKept();
    for (const BoundComparison& bound : selection_.filter) read[bound.column] = true;
    if (selection_.days) read[selection_.days->column] = true;
    return read;
}

void FilteredRecordset::CheckNamedForReading(const std::string& name, std::size_t column) const {
    if (fieldsRead_.empty() ||
        std::find(fieldsRead_.begin(), fieldsRead_.end(), column) != fieldsRead_.end())
        return;
    throw Error(error_number::kItemNotFound,
                "Field " + name + " of table " + table_ +
                    " is not among the fields that the reader named for reading");
}

void FilteredRecordset::CheckCountable(std::size_t records) const {
    if (records >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw Error(error_number::kOverflow,
                    "Table " + table_ + " has more records than a record set can count");
}

void FilteredRecordset::Load() {
    CheckOpen();
    if (count_) return;
    selection_.read = ColumnsRead();
    selection_.kept = ColumnsKept();
    const std::size_t count = Count(selection_);
    CheckCountable(count);
    count_ = count;
}

void FilteredRecordset::CheckOpen() const {
    if (closed_)
        throw Error(error_number::kObjectClosed,
                    "Operation is not allowed when the object is closed (the record set of "
                    "table " +
                        table_ + ")");
}

void FilteredRecordset::NoCurrentRecord() const {
    throw Error(
        error_number::kNoCurrentRecord,
        "Either BOF or EOF is True, or the current record has been deleted (table " + table_ + ")");
}

}  // namespace infotrakon::agenda_db
