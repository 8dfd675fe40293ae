#include "gui/host_follower.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

namespace infotrakon::gui {

HostFollower::HostFollower(control::InfoTrakon& control, PanelView& view, std::string settingsFile,
                           int settleMilliseconds)
    : QObject(&view),
      control_(control),
      view_(view),
      settingsFile_(QString::fromStdString(settingsFile)) {
    settle_.setSingleShot(true);
    settle_.setInterval(settleMilliseconds);
    connect(&settle_, &QTimer::timeout, this, [this] { Settled(); });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { Notified(); });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { Notified(); });
    stamps_ = Current();
    Watch();
}

HostFollower::Stamps HostFollower::Current() const {
    Stamps stamps;
    for (const QString& path :
         {settingsFile_, QString::fromStdString(control_.AgendaLocalPath())}) {
        if (path.isEmpty()) continue;
        const QFileInfo file(path);
        Stamp& stamp = stamps[QDir::cleanPath(file.absoluteFilePath())];
        stamp.exists = file.exists();
        if (!stamp.exists) continue;
        stamp.size = file.size();
        stamp.modified = file.lastModified();
        stamp.metadataChanged = file.metadataChangeTime();
    }
    return stamps;
}

void HostFollower::Watch() {
    QStringList files, folders;
    for (const auto& [path, stamp] : stamps_) {
        if (stamp.exists) files << path;
        const QString folder = QFileInfo(path).absolutePath();
        if (QFileInfo(folder).isDir() && !folders.contains(folder)) folders << folder;
    }
    const QStringList watched = watcher_.files() + watcher_.directories();
    if (!watched.isEmpty()) watcher_.removePaths(watched);
    if (!files.isEmpty()) watcher_.addPaths(files);
    if (!folders.isEmpty()) watcher_.addPaths(folders);
}

void HostFollower::Notified() {
    const Stamps now = Current();
    if (now == stamps_) return;  // another file of the folders
    // A replaced file is watched anew; the refresh waits until the writing has settled.
    stamps_ = now;
    Watch();
    settle_.start();
}

void HostFollower::Settled() {
    auto* refresh = dynamic_cast<QPushButton*>(view_.WidgetOf("Command2"));
    if (refresh == nullptr) return;
    // Taken before the click: a file changed while the panel reads it is seen afterwards.
    const Stamps before = Current();
    ++refreshes_;
    refresh->click();
    // The refresh may have turned to another agenda, which is now the one to follow.
    Stamps after = Current();
    for (auto& [path, stamp] : after)
        if (const auto seen = before.find(path); seen != before.end()) stamp = seen->second;
    stamps_ = after;
    Watch();
    Notified();
}

}  // namespace infotrakon::gui
