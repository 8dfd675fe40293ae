#include "gui/host_window.h"

#include <QMessageBox>
#include <QStatusBar>

namespace infotrakon::gui {

HostWindow::HostWindow(control::InfoTrakon& control, bool showMessageBoxes)
    : showMessageBoxes_(showMessageBoxes) {
    setWindowTitle("InfoTrakon");
    view_ = new PanelView(
        control, [this](const Error& error) { ShowError(error); }, this);
    setCentralWidget(view_);
    statusBar();
    resize(view_->PanelPixels().width(),
           view_->PanelPixels().height() + statusBar()->sizeHint().height());
    view_->setMinimumSize(view_->MinimumPixels());
}

void HostWindow::ShowError(const Error& error) {
    const QString text =
        QString("Chyba %1: %2").arg(error.number()).arg(QString::fromUtf8(error.what()));
    statusBar()->showMessage(text);
    if (showMessageBoxes_) QMessageBox::warning(this, "InfoTrakon", text);
}

}  // namespace infotrakon::gui
