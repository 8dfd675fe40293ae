#pragma once

#include <optional>
#include <string>

#include "core/error.h"
#include "panel/panel.h"

namespace infotrakon::control {

// The whole element model and the error that stopped the panel, if any, as JSON:
// {"elements": {NAME: {"kind", "left", "top", "width", "height", "visible", ...}}, "error":
// null or {"number", "message"}}, each element's state by its kind. `infotrakon print --json`,
// the widget and the C interface give this same text.
std::string PanelJson(const panel::Panel& panel, const std::optional<Error>& error);

}  // namespace infotrakon::control
