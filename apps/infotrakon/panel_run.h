#pragma once

#include <memory>
#include <optional>
#include <string>

#include "command_line.h"
#include "control/infotrakon.h"
#include "core/error.h"

namespace infotrakon::app {

// A panel as the program hosts it, with the error that stopped its start-up or one of the
// events, if any.
struct PanelRun {
    std::unique_ptr<control::InfoTrakon> control;
    std::optional<Error> error;
};

// The host's platform for these options: the settings file, the Wine prefix's drives, the
// clock (pinned by --today) and the environment's locale.
control::HostEnvironment EnvironmentFor(const PanelOptions& options,
                                        const panel::TextMetrics& metrics);

// The host's settings file of these options: --settings, else the Wine prefix's system.reg.
std::string SettingsFileOf(const PanelOptions& options);

// Creates the panel, runs its start-up, places it at the host's size and delivers the
// events in order; stops at the first error, which the result keeps.
PanelRun RunPanel(const PanelOptions& options, const panel::TextMetrics& metrics);

// Delivers one event of the command line to a running panel.
void DeliverEvent(control::InfoTrakon& control, const PanelEvent& event);

// The panel for a person: title, version, figures, the chosen view and period, the list.
std::string PanelText(const panel::Panel& panel);

}  // namespace infotrakon::app
