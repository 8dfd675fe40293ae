#pragma once

#include "command_line.h"

namespace infotrakon::app {

// Writes a demo agenda (with mkagenda --demo, dated around the options' today) and a Wine
// hive whose host setting names it into a fresh per-user folder, laid out as a Wine prefix
// with drive C; gives the options that point the panel at them.
PanelOptions PrepareDemo(const PanelOptions& options);

}  // namespace infotrakon::app
