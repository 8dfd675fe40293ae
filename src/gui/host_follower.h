#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <map>
#include <string>

#include "control/infotrakon.h"
#include "gui/panel_view.h"

namespace infotrakon::gui {

// Follows the host as a person at the panel would: when the host's settings file, or the
// agenda file that the panel shows, has changed and then stayed quiet for the settling time,
// it clicks "Aktualizovat". The panel keeps no timer of its own; its host window does this.
// A file replaced by a rename loses its watch, so the folders holding the files are watched
// too, and a change in them counts only when one of the two files changed.
class HostFollower final : public QObject {
  public:
    HostFollower(control::InfoTrakon& control, PanelView& view, std::string settingsFile,
                 int settleMilliseconds = 500);

    // The number of refreshes it clicked.
    int refreshes() const { return refreshes_; }

  private:
    // What tells a changed or replaced file from an untouched one.
    struct Stamp {
        bool exists = false;
        qint64 size = 0;
        QDateTime modified;
        QDateTime metadataChanged;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    using Stamps = std::map<QString, Stamp>;

    Stamps Current() const;
    void Watch();
    void Notified();
    void Settled();

    control::InfoTrakon& control_;
    PanelView& view_;
    QString settingsFile_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    Stamps stamps_;
    int refreshes_ = 0;
};

}  // namespace infotrakon::gui
