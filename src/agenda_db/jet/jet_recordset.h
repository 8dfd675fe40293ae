#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "agenda_db/filtered_recordset.h"
#include "jet/reader.h"

namespace infotrakon::agenda_db {

// The record set of one table of an Access file, read by our own Jet reader. The filter
// decodes only the fields it compares; the set keeps the passing rows' places in the file
// and decodes a record's values when they are read.
class JetRecordset final : public FilteredRecordset {
  public:
    JetRecordset(std::unique_ptr<jet::Database> database, jet::TableInfo table);

    std::vector<std::string> FieldNames() const override;

  private:
    std::optional<std::size_t> FindColumn(const std::string& name) const override;
    std::unique_ptr<RecordScan> Scan(const std::vector<BoundComparison>& filter,
                                     const std::vector<bool>& read) override;
    Variant Value(std::size_t record, std::size_t column) override;
    void ForgetRecords() override;

    std::unique_ptr<jet::Database> database_;
    jet::TableInfo table_;
    jet::TableCursor cursor_;
    std::vector<jet::RowPosition> positions_;
    std::size_t loaded_ = std::numeric_limits<std::size_t>::max();
};

}  // namespace infotrakon::agenda_db
