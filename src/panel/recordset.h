#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/date.h"
#include "core/variant.h"

// What the data control reads its records through: the record set that a Refresh gives, and
// the provider that makes it for a connection string.
namespace infotrakon::panel {

// The data control's design settings that the agenda database layer heeds.
struct DataControlSettings {
    int connectionTimeoutSeconds = 15;
    int commandTimeoutSeconds = 30;
};

// The records that a data control's Refresh produced, positioned on one visible record at
// a time. After Close every operation raises an error.
class Recordset {
  public:
    virtual ~Recordset() = default;
    // Only the records that satisfy the expression stay visible; "" makes all visible.
    // Moves to the first visible record.
    virtual void SetFilter(const std::string& filter) = 0;
    // Names the only fields that FieldValue will be asked for, so that the provider need
    // read no others; no names, every field. Moves to the first visible record.
    virtual void SetFieldsRead(const std::vector<std::string>& fields) = 0;
    // A hint of a reader that takes only the records whose `field` holds a day from `first` to
    // `last`: the others may be left out of the count and the walk. Records whose field holds
    // Null, a value that is no date or one that cannot be read stay, for the reader to meet.
    // Moves to the first visible record.
    virtual void SetDaysRead(const std::string& field, const Date& first, const Date& last) = 0;
    // The exact number of visible records.
    virtual std::int32_t RecordCount() = 0;
    virtual void MoveFirst() = 0;
    // Moves on; past the last record the set is at its end, and moving on from there
    // raises "no current record".
    virtual void MoveNext() = 0;
    // The current record's place, from 1, among the records that the filter leaves visible,
    // those that the day hint left out counted too: a reader's messages name the same record
    // with the hint as without it.
    virtual std::int32_t AbsolutePosition() = 0;
    // Fields(name).Value of the current record; Null for a database Null.
    virtual Variant FieldValue(const std::string& name) = 0;
    virtual std::vector<std::string> FieldNames() const = 0;
    virtual void Close() = 0;
};

// What gives the data control its records: a provider for its connection strings.
class DataControlBackend {
  public:
    virtual ~DataControlBackend() = default;
    // Opens what the connection string names and runs the record source; raises an Error
    // when that is not possible, leaving nothing open.
    virtual std::unique_ptr<Recordset> Open(const std::string& connectionString,
                                            const std::string& recordSource,
                                            const DataControlSettings& settings) = 0;
};

}  // namespace infotrakon::panel
