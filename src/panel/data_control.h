#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/variant.h"
#include "panel/element.h"

namespace infotrakon::panel {

// The data control's design settings; the agenda database layer gives it its behaviour.
struct DataControlSettings {
    int connectionTimeoutSeconds = 15;
    int commandTimeoutSeconds = 30;
    int commandType = 8;     // unknown
    int cursorLocation = 3;  // client side
    int cursorType = 3;      // static
    int lockType = 3;        // optimistic
    int cacheSize = 50;
    int maxRecords = 0;  // no limit
};

// The records that a data control's Refresh produced, positioned on one visible record at
// a time. After Close every operation raises an error.
class Recordset {
  public:
    virtual ~Recordset() = default;
    // Only the records that satisfy the expression stay visible; "" makes all visible.
    // Moves to the first visible record.
    virtual void SetFilter(const std::string& filter) = 0;
    // The exact number of visible records.
    virtual std::int32_t RecordCount() = 0;
    virtual void MoveFirst() = 0;
    // Moves on; past the last record the set is at its end, and moving on from there
    // raises "no current record".
    virtual void MoveNext() = 0;
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

class DataControl : public Element {
  public:
    DataControl(std::string name, Box box, std::string caption, Font font)
        : Element(std::move(name), ElementKind::kDataControl, box, false, std::nullopt),
          caption_(std::move(caption)),
          font_(std::move(font)) {}

    const std::string& caption() const { return caption_; }
    const Font& font() const { return font_; }
    const DataControlSettings& settings() const { return settings_; }
    Colour backColour() const { return kSystemWindow; }
    Colour foreColour() const { return kSystemWindowText; }

    const std::string& connectionString() const { return connectionString_; }
    const std::string& recordSource() const { return recordSource_; }
    void SetConnectionString(std::string text) {
        connectionString_ = std::move(text);
        Changed();
    }
    void SetRecordSource(std::string text) {
        recordSource_ = std::move(text);
        Changed();
    }

    // The provider that Refresh uses; the host's set-up gives it one.
    void SetBackend(std::shared_ptr<DataControlBackend> backend) { backend_ = std::move(backend); }
    // Opens the connection string's database and runs the record source; the new record
    // set replaces the last one. On an error the last one stays as it was.
    void Refresh() {
        if (!backend_)
            throw Error(error_number::kProviderNotSupported,
                        "The data control has no provider to open its connection string with");
        recordset_ = backend_->Open(connectionString_, recordSource_, settings_);
    }
    // The record set of the last Refresh.
    Recordset& recordset() {
        if (!recordset_)
            throw Error(error_number::kObjectNotSet,
                        "The data control has no record set: it has not been refreshed");
        return *recordset_;
    }

  private:
    std::string caption_;
    Font font_;
    DataControlSettings settings_;
    std::string connectionString_;
    std::string recordSource_;
    std::shared_ptr<DataControlBackend> backend_;
    std::unique_ptr<Recordset> recordset_;
};

}  // namespace infotrakon::panel
