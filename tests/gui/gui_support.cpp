#include "gui_support.h"

#include <QApplication>
#include <QMainWindow>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include "platform/qt/main_window.h"

namespace vtome::gui_test {

namespace {
qt::QtPlatform* thePlatform = nullptr;
}

void setPlatform(qt::QtPlatform& platform) { thePlatform = &platform; }

qt::QtPlatform& platform() { return *thePlatform; }

bool RecordingProcedure::onMessage(std::uint32_t message, std::uint64_t wparam, std::int64_t lparam) {
    messages.push_back({message, wparam, lparam});
    if (hook) hook(messages.back());
    return true;
}

std::vector<std::uint64_t> RecordingProcedure::commands() const {
    std::vector<std::uint64_t> result;
    for (const Message& m : messages) {
        if (m.message == message::kCommand) result.push_back(m.wparam);
    }
    return result;
}

std::vector<std::uint64_t> RecordingProcedure::keyDowns() const {
    std::vector<std::uint64_t> result;
    for (const Message& m : messages) {
        if (m.message == message::kKeyDown) result.push_back(m.wparam);
    }
    return result;
}

std::size_t RecordingProcedure::count(std::uint32_t message) const {
    std::size_t n = 0;
    for (const Message& m : messages) n += m.message == message ? 1 : 0;
    return n;
}

void RecordingDialog::onInit(DialogView& view) {
    if (init) init(view);
}

void RecordingDialog::onCommand(DialogView&, std::uint32_t control, std::uint32_t notification) {
    commands.push_back({control, notification});
}

void RecordingDialog::onClose(DialogView& view) {
    ++closeRequests;
    DialogEvents::onClose(view);
}

bool RecordingDialog::received(std::uint32_t control, std::uint32_t notification) const {
    return std::find(commands.begin(), commands.end(), Command{control, notification}) != commands.end();
}

TreeItem TestContents::add(TreeItem parent, std::string title, void* data) {
    items_.push_back({parent, std::move(title), data, static_cast<std::uint32_t>(children_[parent].size())});
    const auto item = static_cast<TreeItem>(items_.size());
    children_[parent].push_back(item);
    children_.emplace_back();
    return item;
}

std::uint32_t TestContents::childCount(TreeItem parent) const {
    return parent < children_.size() ? static_cast<std::uint32_t>(children_[parent].size()) : 0;
}

TreeItem TestContents::child(TreeItem parent, std::uint32_t row) const {
    return row < childCount(parent) ? children_[parent][row] : kNoTreeItem;
}

TreeItem TestContents::parentOf(TreeItem item) const {
    return item >= 1 && item <= items_.size() ? items_[item - 1].parent : kNoTreeItem;
}

std::uint32_t TestContents::rowOf(TreeItem item) const {
    return item >= 1 && item <= items_.size() ? items_[item - 1].row : 0;
}

std::string_view TestContents::title(TreeItem item) const {
    return item >= 1 && item <= items_.size() ? std::string_view(items_[item - 1].title) : std::string_view();
}

void* TestContents::data(TreeItem item) const {
    return item >= 1 && item <= items_.size() ? items_[item - 1].data : nullptr;
}

QModelIndex findTitle(const QAbstractItemModel& model, const QString& title, const QModelIndex& parent) {
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        if (index.data().toString() == title) return index;
        const QModelIndex inside = findTitle(model, title, index);
        if (inside.isValid()) return inside;
    }
    return {};
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) target = QApplication::activeWindow();
    ASSERT_NE(target, nullptr) << "no widget to press a key in";
    QTest::keyClick(target, key, modifiers);
}

void typeText(const QString& text) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "no widget to type in";
    QTest::keyClicks(target, text);
}

int runDialog(const resources::DialogTemplate& layout, RecordingDialog& events,
              const std::function<void(DialogView& view, QWidget& window)>& body) {
    const std::function<void(DialogView&)> ownInit = events.init;
    events.init = [&](DialogView& view) {
        if (ownInit) ownInit(view);
        QTimer::singleShot(0, qApp, [&view, &body] {
            QWidget* window = QApplication::activeModalWidget();
            // A dialog counts as active in Qt while its owner is; wait until
            // it really has the keyboard.
            if (window != nullptr && QTest::qWaitFor([window] { return QApplication::activeWindow() == window; })) {
                body(view, *window);
            } else {
                ADD_FAILURE() << "the modal dialog did not become active";
            }
            if (window != nullptr && window->isVisible()) view.close(-1);
        });
    };
    const int result = platform().runModalDialog(layout, events);
    events.init = ownInit;
    return result;
}

FailureRecorder::FailureRecorder() {
    platform().setFailureHandler([this](const RuntimeFailure& failure) { numbers.push_back(failure.number()); });
}

FailureRecorder::~FailureRecorder() { expectNoFailures(); }

void expectNoFailures() {
    platform().setFailureHandler(
        [](const RuntimeFailure& failure) { ADD_FAILURE() << "unexpected failure: " << failure.what(); });
}

void MainWindowTest::SetUp() {
    window = platform().createMainWindow(procedure, "vTome test");
    qtWindow = platform().mainWindow();
    ASSERT_NE(window, nullptr);
}

void MainWindowTest::TearDown() { platform().destroyMainWindow(); }

void MainWindowTest::showActive() {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(qtWindow->frame()));
}

ViewerWindowTest::ViewerWindowTest(std::string document)
    : document_(std::move(document)), previousFolder_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
}

ViewerWindowTest::~ViewerWindowTest() { std::filesystem::current_path(previousFolder_); }

void ViewerWindowTest::SetUp() {
    testing::writeFile(documentPath(), document_);
    app_ = std::make_unique<shell::Application>(windowSystem(),
                                                shell::LaunchContext{arguments(), executablePath(), settingsPath(), dir_.file("data")});
    // The application reports failures by ending the process; here they fail the test.
    expectNoFailures();
    ASSERT_TRUE(app_->start());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window().frame()));
}

void ViewerWindowTest::TearDown() {
    platform().destroyMainWindow();
    app_.reset();
}

void ViewerWindowTest::show(const char* title) {
    HelpDocument& document = app_->viewer().document();
    app_->viewer().selectTopic(document.index->findByTitle(title));
}

void ViewerWindowTest::pressOpening(Qt::Key key, Qt::KeyboardModifiers modifiers,
                                    const std::function<void(QWidget&)>& user) {
    openingDialog([&] { pressKey(key, modifiers); }, user);
}

void ViewerWindowTest::openingDialog(const std::function<void()>& open, const std::function<void(QWidget&)>& user) {
    // The offscreen platform does not hand the activation back to the
    // main window when a dialog closes, as a window manager does.
    QMainWindow* frame = window().frame();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    app_->mainWindow()->focus();

    bool ran = false;
    QTimer timer;  // gone with this call, so it cannot fire into a later test
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* dialog = nullptr;
        const bool up = QTest::qWaitFor([&] {
            dialog = QApplication::activeModalWidget();
            return dialog != nullptr && QApplication::activeWindow() == dialog;
        });
        if (!up) return;
        ran = true;
        user(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog is still open";
            pressKey(Qt::Key_Escape);
        }
    });
    timer.start(0);
    open();
    EXPECT_TRUE(ran) << "no dialog opened";
}

}  // namespace vtome::gui_test
