#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "agenda_db/filter.h"
#include "panel/recordset.h"

namespace infotrakon::agenda_db {

// What every provider's record set shares: the filter bound to the table's fields, the
// records that pass it found once per filter, the walk over them, and the errors of a
// record set that is closed, at its end, or asked for a field it has not got. A provider
// says how to find its columns, how to find the passing records and how to read one value.
class FilteredRecordset : public panel::Recordset {
  public:
    void SetFilter(const std::string& text) final;
    std::int32_t RecordCount() final;
    void MoveFirst() final;
    void MoveNext() final;
    Variant FieldValue(const std::string& name) final;
    void Close() final;

  protected:
    struct BoundComparison {
        Comparison comparison;
        std::size_t column;
    };

    explicit FilteredRecordset(std::string table) : table_(std::move(table)) {}

    const std::string& table() const { return table_; }
    // Field names as the provider matches them.
    virtual std::optional<std::size_t> FindColumn(const std::string& name) const = 0;
    // Finds the records that pass `filter`, keeps what it needs to read them again, and
    // gives their number.
    virtual std::size_t FindRecords(const std::vector<BoundComparison>& filter) = 0;
    // A field of the `record`-th passing record.
    virtual Variant Value(std::size_t record, std::size_t column) = 0;
    // Lets go of the records found.
    virtual void ForgetRecords() = 0;

    static bool Passes(const std::vector<BoundComparison>& filter,
                       const std::function<Variant(std::size_t)>& valueOf);
    // Raises the error of a set that has grown beyond what RecordCount can tell.
    void CheckCountable(std::size_t records) const;

  private:
    void Load();
    void CheckOpen() const;
    [[noreturn]] void NoCurrentRecord() const;

    std::string table_;
    std::unordered_map<std::string, std::optional<std::size_t>> columns_;  // by the name asked
    std::vector<BoundComparison> filter_;
    std::optional<std::size_t> count_;  // of the passing records, once found
    std::size_t current_ = 0;
    bool closed_ = false;
};

}  // namespace infotrakon::agenda_db
