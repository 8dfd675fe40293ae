#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "agenda_db/filtered_recordset.h"
#include "agenda_db/packed_rows.h"
#include "core/error.h"
#include "jet/reader.h"

namespace infotrakon::agenda_db {

// The record set of one table of an Access file, read by our own Jet reader. The count is one
// pass over the table's pages: the filter and the day hint are answered on the stored bytes
// where they can be, and of each selected record the fields read are kept, so that the walk
// reads no page again. A field that cannot be read raises its error where the walk reads it.
class JetRecordset final : public FilteredRecordset {
  public:
    JetRecordset(std::unique_ptr<jet::Database> database, jet::TableInfo table);

    std::vector<std::string> FieldNames() const override;

  private:
    std::optional<std::size_t> FindColumn(const std::string& name) const override;
    std::size_t Count(const Selection& selection) override;
    std::unique_ptr<SelectedRecords> Select(const Selection& selection) override;
    void ForgetRecords() override;
    // Keeps a field of the scan's current record, the last one kept.
    void Keep(RecordScan& scan, std::size_t column);

    std::unique_ptr<jet::Database> database_;
    jet::TableInfo table_;
    PackedRows kept_;                   // the columns read, in their order
    std::size_t width_ = 0;             // how many they are
    std::vector<std::int32_t> places_;  // of the kept records, where a day range left some out
    std::vector<std::size_t> keptAt_;   // where each column read is among those kept
    // The errors of the kept fields that could not be read, by record and column: each is
    // raised when the walk reads its field, as it would be without the keeping.
    std::map<std::pair<std::size_t, std::size_t>, Error> unreadable_;
};

}  // namespace infotrakon::agenda_db
