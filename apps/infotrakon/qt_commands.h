#pragma once

#include <string>

#include "command_line.h"

namespace infotrakon::app {

// Whether a window can be shown here: a display is named, or Qt is told a platform.
bool HasDisplay();

// The panel in a host window until the user closes it; the exit status.
int ShowPanel(const PanelOptions& options);

// The panel rendered offscreen into a PNG; the exit status.
int WritePanelScreenshot(const PanelOptions& options, const std::string& output);

}  // namespace infotrakon::app
