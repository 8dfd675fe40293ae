#pragma once

#include <QMainWindow>

#include "control/infotrakon.h"
#include "gui/panel_view.h"

namespace infotrakon::gui {

// A host program's window holding the panel: the panel fills it and follows its size, and
// an error the panel raises is shown in the status line and in a message box.
class HostWindow final : public QMainWindow {
  public:
    explicit HostWindow(control::InfoTrakon& control, bool showMessageBoxes = true);
    PanelView& view() { return *view_; }
    void ShowError(const Error& error);

  private:
    PanelView* view_;
    bool showMessageBoxes_;
};

}  // namespace infotrakon::gui
