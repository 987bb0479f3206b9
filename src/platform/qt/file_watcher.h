#pragma once
// The open document watched on disk with QFileSystemWatcher: the file and
// its folder (an editor that saves by renaming a new file over the old one
// replaces the file the watch was on). The application hears of a change
// once nothing has changed for kSettleTime, and never while a modal window
// or a menu is open.

#include <QFileSystemWatcher>
#include <QTimer>

#include <string>

#include "platform/file_watcher.h"
#include "platform/qt/call_guard.h"

namespace vtome::platform::qt {

class QtFileWatcher final : public FileWatcher {
public:
    static constexpr int kSettleTime = 500;  // milliseconds

    QtFileWatcher(FileWatchEvents& events, CallGuard& guard);

    void watch(const std::string& path) override;
    std::string watchedPath() const override { return path_; }

private:
    void onChange();
    void onSettled();

    FileWatchEvents& events_;
    CallGuard& guard_;
    std::string path_;
    QString file_;
    QString folder_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
};

}  // namespace vtome::platform::qt
