#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/error.h"
#include "core/variant.h"
#include "panel/element.h"
#include "panel/element_definition.h"
#include "panel/recordset.h"

namespace infotrakon::panel {

class DataControl final : public Element {
  public:
    explicit DataControl(const ElementDefinition& definition)
        : Element(definition), caption_(definition.caption), font_(definition.font) {}
    ElementOfKind AsKind() const override { return this; }

    const std::string& caption() const { return caption_; }
    const Font& font() const { return font_; }
    const DataControlSettings& settings() const { return settings_; }
    Colour backColour() const { return kSystemWindow; }

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
