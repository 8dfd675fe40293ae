#include "gui/host_follower.h"

#include <QPushButton>

namespace infotrakon::gui {

HostFollower::HostFollower(control::InfoTrakon& control, PanelView& view, std::string settingsFile,
                           int settleMilliseconds)
    : QObject(&view),
      control_(control),
      view_(view),
      settingsFile_(QString::fromStdString(settingsFile)) {
    new FileFollower(
        [this] {
            return std::vector<QString>{settingsFile_,
                                        QString::fromStdString(control_.AgendaLocalPath())};
        },
        [this] { ClickRefresh(); }, settleMilliseconds, this);
}

void HostFollower::ClickRefresh() {
    auto* refresh = dynamic_cast<QPushButton*>(view_.WidgetOf("Command2"));
    if (refresh == nullptr) return;
    ++refreshes_;
    refresh->click();
}

}  // namespace infotrakon::gui
