#include "platform/qt/file_watcher.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

namespace vtome::platform::qt {

QtFileWatcher::QtFileWatcher(FileWatchEvents& events, CallGuard& guard) : events_(events), guard_(guard) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleTime);
    QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, &settle_, [this] { onChange(); });
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &settle_, [this] { onChange(); });
    QObject::connect(&settle_, &QTimer::timeout, &settle_, [this] { onSettled(); });
}

void QtFileWatcher::watch(const std::string& path) {
    settle_.stop();
    const QStringList watched = watcher_.files() + watcher_.directories();
    if (!watched.isEmpty()) watcher_.removePaths(watched);
    path_ = path;
    file_.clear();
    folder_.clear();
    if (path.empty()) return;
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(path)));
    file_ = info.absoluteFilePath();
    folder_ = info.absolutePath();
    watcher_.addPath(folder_);
    if (info.exists()) watcher_.addPath(file_);
}

void QtFileWatcher::onChange() {
    // A file replaced by a rename is no longer watched: watch the new one.
    if (!file_.isEmpty() && !watcher_.files().contains(file_) && QFileInfo::exists(file_)) watcher_.addPath(file_);
    // Each further change starts the moment of quiet again.
    settle_.start();
}

void QtFileWatcher::onSettled() {
    // A reload while a dialog or a menu is open would pull the topics from
    // under it: wait until it is gone.
    if (QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr) {
        settle_.start();
        return;
    }
    guard_.run([this] { events_.onWatchedFileChanged(); });
}

}  // namespace vtome::platform::qt
