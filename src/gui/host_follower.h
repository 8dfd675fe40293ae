#pragma once

#include <string>

#include "control/infotrakon.h"
#include "gui/file_follower.h"
#include "gui/panel_view.h"

namespace infotrakon::gui {

// Follows the host as a person at the panel would: when the host's settings file, or the
// agenda file that the panel shows, has changed and then stayed quiet for the settling time,
// it clicks "Aktualizovat". The panel keeps no timer of its own; its host window does this.
class HostFollower final : public QObject {
  public:
    HostFollower(control::InfoTrakon& control, PanelView& view, std::string settingsFile,
                 int settleMilliseconds = 500);

    // The number of refreshes it clicked.
    int refreshes() const { return refreshes_; }

  private:
    void ClickRefresh();

    control::InfoTrakon& control_;
    PanelView& view_;
    QString settingsFile_;
    int refreshes_ = 0;
};

}  // namespace infotrakon::gui
