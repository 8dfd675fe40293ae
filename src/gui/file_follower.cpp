#include "gui/file_follower.h"

#include <QDir>
#include <QFileInfo>

namespace infotrakon::gui {

FileFollower::FileFollower(Paths paths, std::function<void()> settled, int settleMilliseconds,
                           QObject* parent)
    : QObject(parent), paths_(std::move(paths)), settled_(std::move(settled)) {
    settle_.setSingleShot(true);
    settle_.setInterval(settleMilliseconds);
    connect(&settle_, &QTimer::timeout, this, [this] { Settled(); });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { Notified(); });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { Notified(); });
    stamps_ = Current();
    Watch();
}

FileFollower::Stamps FileFollower::Current() const {
    Stamps stamps;
    for (const QString& path : paths_()) {
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

void FileFollower::Watch() {
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

void FileFollower::Notified() {
    const Stamps now = Current();
    if (now == stamps_) return;  // another file of the folders
    // A replaced file is watched anew; the action waits until the writing has settled.
    stamps_ = now;
    Watch();
    settle_.start();
}

void FileFollower::Settled() {
    // Taken before the action: a file changed while it reads the file is seen afterwards.
    const Stamps before = Current();
    settled_();
    // The action may have turned to other files, which are now the ones to follow.
    Stamps after = Current();
    for (auto& [path, stamp] : after)
        if (const auto seen = before.find(path); seen != before.end()) stamp = seen->second;
    stamps_ = after;
    Watch();
    Notified();
}

}  // namespace infotrakon::gui
