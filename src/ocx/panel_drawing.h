#pragma once

#include <windows.h>

#include "panel/panel.h"

namespace infotrakon::ocx {

// Draws the panel as its elements stand into `bounds` of `dc`: for a host's design view, and
// for printing, where the control has no window of its own to show.
void DrawPanel(const panel::Panel& panel, HDC dc, const RECT& bounds);

}  // namespace infotrakon::ocx
