#pragma once

#include <string>

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

  private:
    std::string caption_;
    Font font_;
    DataControlSettings settings_;
    std::string connectionString_;
    std::string recordSource_;
};

}  // namespace infotrakon::panel
