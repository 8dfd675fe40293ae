#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "agenda_db/filter.h"
#include "core/date.h"
#include "panel/recordset.h"

namespace infotrakon::agenda_db {

// A comparison of the filter with the column of the table it names.
struct BoundComparison {
    Comparison comparison;
    std::size_t column;
};

// The day hint bound to its column: the days from `first` to `last`, both whole.
struct BoundDays {
    std::size_t column;
    Date first;
    Date last;
};

// What a count and a walk select: the records that pass the filter and that the day hint
// does not leave out, of which only the columns marked in `read` are asked for.
struct Selection {
    std::vector<BoundComparison> filter;
    std::optional<BoundDays> days;
    std::vector<bool> read;  // the filter's and the hint's columns among them
    std::vector<bool> kept;  // those the reader asks for: read less what only selects
};

// A provider's pass over the records of its table, in its order: it moves from record to
// record and answers the selection's questions on the record it is at.
class RecordScan {
  public:
    virtual ~RecordScan() = default;
    // Moves to the next record; false past the last. A provider may pass over records that it
    // knows the selection does not take.
    virtual bool Next() = 0;
    virtual bool Satisfies(const BoundComparison& bound) = 0;
    // False only where the field holds a date whose day lies outside the days: a Null, a
    // value that is no date and one the panel cannot take stay, for the reader to meet.
    virtual bool InDays(const BoundDays& days) = 0;
    // A field of the current record; only the columns read are asked for.
    virtual Variant Value(std::size_t column) = 0;
    // The records that Next passed over since the last call although the filter passes them,
    // because the day hint leaves them out: they have their places all the same.
    virtual std::int32_t TakeLeftOutByDays() { return 0; }
};

// Moves `scan` to its next record that the selection takes; `place` counts every record
// that the filter passes, those the day hint leaves out included. False past the last.
bool NextSelected(RecordScan& scan, const Selection& selection, std::int32_t& place);

// The selected records one after the other, as a walk reads them.
class SelectedRecords {
  public:
    virtual ~SelectedRecords() = default;
    // Moves to the next selected record; false past the last.
    virtual bool Next() = 0;
    // The record's place among those the filter passes, from 1.
    virtual std::int32_t Place() const = 0;
    virtual Variant Value(std::size_t column) = 0;
};

// What every provider's record set shares: the filter and the day hint bound to the table's
// fields, the count, the walk over the selected records (read again from the first when the
// walk goes back), and the errors of a record set that is closed, at its end, or asked for a
// field it has not got. A provider says how to find its columns, how to count and how to
// give the selected records.
class FilteredRecordset : public panel::Recordset {
  public:
    void SetFilter(const std::string& text) final;
    void SetFieldsRead(const std::vector<std::string>& fields) final;
    void SetDaysRead(const std::string& field, const Date& first, const Date& last) final;
    std::int32_t RecordCount() final;
    void MoveFirst() final;
    void MoveNext() final;
    std::int32_t AbsolutePosition() final;
    Variant FieldValue(const std::string& name) final;
    void Close() final;

  protected:
    explicit FilteredRecordset(std::string table) : table_(std::move(table)) {}

    const std::string& table() const { return table_; }
    // Raises the error of a set that has grown beyond what RecordCount can tell.
    void CheckCountable(std::size_t records) const;

    // Field names as the provider matches them.
    virtual std::optional<std::size_t> FindColumn(const std::string& name) const = 0;
    // The number of records that `selection` takes.
    virtual std::size_t Count(const Selection& selection) = 0;
    // Those records from the first, after Count with the same selection.
    virtual std::unique_ptr<SelectedRecords> Select(const Selection& selection) = 0;
    // Lets go of whatever the count and the walks hold.
    virtual void ForgetRecords() = 0;

  private:
    void Load();
    void StartAgain();
    // The selected records at the current one.
    SelectedRecords& AtCurrent();
    std::vector<bool> ColumnsKept() const;
    std::vector<bool> ColumnsRead() const;
    void CheckNamedForReading(const std::string& name, std::size_t column) const;
    void CheckOpen() const;
    [[noreturn]] void NoCurrentRecord() const;

    std::string table_;
    std::unordered_map<std::string, std::optional<std::size_t>> columns_;  // by the name asked
    Selection selection_;
    std::vector<std::size_t> fieldsRead_;  // the columns named; none for every column
    std::optional<std::size_t> count_;     // of the selected records, once found
    std::size_t current_ = 0;
    std::unique_ptr<SelectedRecords> walk_;
    std::size_t walkAt_ = 0;  // the record walk_ is at, from 1; 0 before the first
    bool closed_ = false;
};

}  // namespace infotrakon::agenda_db
