#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/date.h"
#include "panel/element.h"

namespace infotrakon::panel {

enum class Alignment { kLeft, kRight };

enum class ComboStyle { kDropdownCombo, kDropdownList };

struct ComboItem {
    std::string text;
    long data = 0;
};

struct ColumnHeader {
    std::string text;
    Alignment alignment = Alignment::kLeft;
    Twips width = 0;
};

struct FileDialogSettings {
    std::string title, defaultExtension, fileName, filter;
};

// One element as the panel's form defines it: where it sits, whether it shows, its place in
// the tab order, and what its kind takes of the rest. Each kind reads only its own fields.
struct ElementDefinition {
    std::string name{};
    Box box{};
    bool visible = true;
    std::optional<int> tabIndex{};
    std::string caption{};  // labels, buttons, the data control; a combo box's text
    Font font{};
    Alignment alignment = Alignment::kLeft;
    bool autoSize = false;
    bool transparent = false;
    Colour backColour = kWhite;
    bool picture = false;  // a command button with a picture
    bool chosen = false;   // the option button chosen at design
    ComboStyle style = ComboStyle::kDropdownList;
    std::vector<ComboItem> items{};
    std::vector<ColumnHeader> columns{};
    Date date{};  // a date picker's value
    FileDialogSettings dialog{};
};

}  // namespace infotrakon::panel
