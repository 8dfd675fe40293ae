#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "agenda_db/filter.h"
#include "panel/recordset.h"

namespace infotrakon::agenda_db {

// A comparison of the filter with the column of the table it names.
struct BoundComparison {
    Comparison comparison;
    std::size_t column;
};

// A provider's pass over the records of its table, which the record set drives: it moves
// from record to record, answers the filter's comparisons on the record it is at, and keeps
// that record for reading when the record passes.
class RecordScan {
  public:
    virtual ~RecordScan() = default;
    // Moves to the next record; false past the last.
    virtual bool Next() = 0;
    virtual bool Satisfies(const BoundComparison& bound) = 0;
    // Keeps the current record as the next passing one.
    virtual void Keep() = 0;
};

// What every provider's record set shares: the filter bound to the table's fields, the scan
// for the records that pass it run once per filter, the walk over them, and the errors of a
// record set that is closed, at its end, or asked for a field it has not got. A provider
// says how to find its columns, how to scan its records and how to read one kept value.
class FilteredRecordset : public panel::Recordset {
  public:
    void SetFilter(const std::string& text) final;
    void SetFieldsRead(const std::vector<std::string>& fields) final;
    std::int32_t RecordCount() final;
    void MoveFirst() final;
    void MoveNext() final;
    Variant FieldValue(const std::string& name) final;
    void Close() final;

  protected:
    explicit FilteredRecordset(std::string table) : table_(std::move(table)) {}

    const std::string& table() const { return table_; }
    // Field names as the provider matches them.
    virtual std::optional<std::size_t> FindColumn(const std::string& name) const = 0;
    // A scan of the records for `filter`, which its records must pass: the provider may
    // leave out beforehand those that it knows cannot. Of the records kept, Value is asked
    // only for the columns marked in `read`, those of the filter among them.
    virtual std::unique_ptr<RecordScan> Scan(const std::vector<BoundComparison>& filter,
                                             const std::vector<bool>& read) = 0;
    // A field of the `record`-th kept record.
    virtual Variant Value(std::size_t record, std::size_t column) = 0;
    // Lets go of the records kept.
    virtual void ForgetRecords() = 0;

  private:
    void Load();
    std::size_t KeepPassingRecords();
    // Raises the error of a set that has grown beyond what RecordCount can tell.
    void CheckCountable(std::size_t records) const;
    void CheckOpen() const;
    void StartAgain();
    std::vector<bool> ColumnsRead() const;
    void CheckNamedForReading(const std::string& name, std::size_t column) const;
    [[noreturn]] void NoCurrentRecord() const;

    std::string table_;
    std::unordered_map<std::string, std::optional<std::size_t>> columns_;  // by the name asked
    std::vector<BoundComparison> filter_;
    std::vector<std::size_t> fieldsRead_;  // the columns named; none for every column
    std::optional<std::size_t> count_;     // of the passing records, once found
    std::size_t current_ = 0;
    bool closed_ = false;
};

}  // namespace infotrakon::agenda_db
