#pragma once

#include <string>

#include "panel/panel.h"

namespace infotrakon::panel {

// The panel as a reader sees it, one line per visible element, the list as a table.
std::string DescribePanel(const Panel& panel);

}  // namespace infotrakon::panel
