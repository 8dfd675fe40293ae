#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <vector>

namespace infotrakon::gui {

// Tells when any of a few files has changed and then stayed quiet for the settling time.
// A file replaced by a rename loses its watch, so the folders holding the files are watched
// too, and a change in them counts only when one of the files changed. Which files to follow
// is asked anew after every change, since what the change led to may name other files.
class FileFollower final : public QObject {
  public:
    using Paths = std::function<std::vector<QString>()>;

    FileFollower(Paths paths, std::function<void()> settled, int settleMilliseconds,
                 QObject* parent);

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

    Paths paths_;
    std::function<void()> settled_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    Stamps stamps_;
};

}  // namespace infotrakon::gui
