#include "platform/qt/system_dialogs.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>

#include <algorithm>
#include <memory>

#include "platform/qt/text_codec.h"

namespace vtome::platform::qt {

namespace {

// "Text File (*.txt)" as given, or a name and a pattern put together.
QString firstFilter(const FileDialogRequest& request) {
    if (request.filterName.empty()) return QStringLiteral("All Files (*)");
    const QString name = fromBytes(request.filterName);
    if (name.contains(QChar(u'(')) || request.filterPattern.empty()) return name;
    return QStringLiteral("%1 (%2)").arg(name, fromBytes(request.filterPattern));
}

// The first filter, then the further choices, as the dialog lists them.
QString nameFilter(const FileDialogRequest& request) {
    QString filters = firstFilter(request);
    for (const std::string& more : request.moreFilters) filters += QStringLiteral(";;") + fromBytes(more);
    return filters;
}

std::optional<std::string> chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return toPathBytes(path);
}

}  // namespace

void showMessageBox(std::string_view caption, std::string_view text, MessageBoxIcon icon, bool topmost,
                    std::string_view detail) {
    QMessageBox box(icon == MessageBoxIcon::Error ? QMessageBox::Critical : QMessageBox::Warning, fromBytes(caption),
                    QString(), QMessageBox::Ok);
    // A file name or a document's text is shown as it is, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(fromBytes(text));
    if (!detail.empty()) box.setInformativeText(fromPathBytes(detail));
    for (QLabel* label : box.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    if (topmost) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

std::optional<std::string> chooseFileToOpen(QWidget* owner, const FileDialogRequest& request) {
    return chosen(QFileDialog::getOpenFileName(owner, QString(), fromPathBytes(request.startFolder),
                                               nameFilter(request), nullptr, QFileDialog::DontUseNativeDialog));
}

std::optional<std::string> chooseFileToSave(QWidget* owner, const FileDialogRequest& request) {
    QFileDialog dialog(owner, QString(), fromPathBytes(request.startFolder), nameFilter(request));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Asking before replacing a file is the dialog's default.
    dialog.setDefaultSuffix(fromBytes(request.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return chosen(dialog.selectedFiles().constFirst());
}

bool runProcess(const std::string& program, const std::vector<std::string>& arguments,
                std::chrono::milliseconds timeout) {
    QStringList list;
    for (const std::string& argument : arguments) list.append(fromPathBytes(argument));

    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setInputChannelMode(QProcess::ForwardedInputChannel);
    QElapsedTimer clock;
    clock.start();
    const int limit = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, 0x7FFFFFFF));
    process->start(fromPathBytes(program), list);
    if (!process->waitForStarted(limit)) {
        // Not startable at all, or still not running after the whole wait.
        if (process->state() == QProcess::NotRunning) return false;
    }
    const qint64 left = std::max<qint64>(0, limit - clock.elapsed());
    if (process->waitForFinished(static_cast<int>(left)) || process->state() == QProcess::NotRunning) return true;
    // Destroying a QProcess kills its program; one still running after the
    // wait is left to run on its own, and its object to the end of ours.
    QProcess* running = process.release();
    QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
    return true;
}

}  // namespace vtome::platform::qt
