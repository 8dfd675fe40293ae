#pragma once

#include <string>
#include <vector>

#include "command_line.h"

namespace infotrakon::app {

// No display can be opened for the window of `show`: the message says which one and what to
// use instead.
struct NoDisplay {
    std::string message;
};

// The panel in a host window until the user closes it; the exit status. Throws NoDisplay,
// before the panel starts, when no window can be shown here. `qtArguments` go to Qt.
int ShowPanel(const PanelOptions& options, const std::vector<std::string>& qtArguments);

// The panel rendered offscreen (unless -platform names another platform) into a PNG; the
// exit status.
int WritePanelScreenshot(const PanelOptions& options, const std::string& output,
                         const std::vector<std::string>& qtArguments);

}  // namespace infotrakon::app
