#pragma once
// Shared pieces of the Qt suite: recording fakes of the application side,
// a main-window fixture, a fixture running the whole viewer, and helpers
// that press keys where the focus is.

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QString>
#include <Qt>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../support/temp_dir.h"
#include "platform/platform.h"
#include "platform/qt/qt_platform.h"
#include "shell/application.h"

class QWidget;

namespace vtome::gui_test {

using namespace vtome::platform;

void setPlatform(qt::QtPlatform& platform);
qt::QtPlatform& platform();

struct Message {
    std::uint32_t message;
    std::uint64_t wparam;
    std::int64_t lparam;
};

class RecordingProcedure final : public WindowProcedure {
public:
    void attach(MainWindow& window) override { attached = &window; }
    bool onMessage(std::uint32_t message, std::uint64_t wparam, std::int64_t lparam) override;

    std::vector<std::uint64_t> commands() const;  // WPARAMs of kCommand
    std::vector<std::uint64_t> keyDowns() const;
    std::size_t count(std::uint32_t message) const;

    MainWindow* attached = nullptr;
    std::vector<Message> messages;
    std::function<void(const Message&)> hook;
};

class RecordingDialog final : public DialogEvents {
public:
    struct Command {
        std::uint32_t control;
        std::uint32_t notification;
        bool operator==(const Command&) const = default;
    };

    void onInit(DialogView& view) override;
    void onCommand(DialogView& view, std::uint32_t control, std::uint32_t notification) override;
    void onClose(DialogView& view) override;

    bool received(std::uint32_t control, std::uint32_t notification) const;

    std::vector<Command> commands;
    int closeRequests = 0;
    std::function<void(DialogView&)> init;
};

// A small contents tree for the pane tests: items numbered in the order added.
class TestContents final : public ContentsSource {
public:
    TreeItem add(TreeItem parent, std::string title, void* data = nullptr);

    std::uint32_t childCount(TreeItem parent) const override;
    TreeItem child(TreeItem parent, std::uint32_t row) const override;
    TreeItem parentOf(TreeItem item) const override;
    std::uint32_t rowOf(TreeItem item) const override;
    std::string_view title(TreeItem item) const override;
    void* data(TreeItem item) const override;

private:
    struct Item {
        TreeItem parent;
        std::string title;
        void* data;
        std::uint32_t row;
    };
    std::vector<Item> items_;
    std::vector<std::vector<TreeItem>> children_{1};  // by parent; [0] the top level
};

// The index of the first item of a tree view with this title, searched
// through every branch, opened or not.
QModelIndex findTitle(const QAbstractItemModel& model, const QString& title, const QModelIndex& parent = {});

// A press and release sent to the widget that has the keyboard focus.
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void typeText(const QString& text);

// Runs a modal dialog; once it is up and active, `body` drives it. A dialog
// the body leaves open is closed with -1 so that a failing test cannot hang.
int runDialog(const resources::DialogTemplate& layout, RecordingDialog& events,
              const std::function<void(DialogView& view, QWidget& window)>& body);

// Collects the failures that reach the platform's handler while it lives;
// afterwards an unexpected failure fails the test again.
class FailureRecorder {
public:
    FailureRecorder();
    ~FailureRecorder();
    std::vector<int> numbers;
};

// The handler the suite runs with: any failure is a test failure.
void expectNoFailures();

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Shows the window and waits until it is the active window.
    void showActive();

    RecordingProcedure procedure;
    MainWindow* window = nullptr;
    qt::QtMainWindow* qtWindow = nullptr;
};

// The whole viewer on the Qt platform: a fresh Application per test,
// started on a document of the derived test's own in a folder that is the
// current directory while the test runs, with its settings file there too.
class ViewerWindowTest : public ::testing::Test {
protected:
    // `document` is written to documentPath() before the viewer starts.
    explicit ViewerWindowTest(std::string document);
    ~ViewerWindowTest() override;

    // Writes the document, starts the viewer and waits until its window is active.
    void SetUp() override;
    void TearDown() override;

    // The window system the application runs on; a fixture may put its
    // own in front of the suite's platform.
    virtual Platform& windowSystem() { return platform(); }
    // The executable the viewer believes it is.
    virtual std::string executablePath() const { return dir_.file("vtome"); }
    // The words after the program name: by default the document alone.
    virtual std::vector<std::string> arguments() const { return {documentPath()}; }

    std::string documentPath() const { return dir_.file("doc.vtome"); }
    std::string settingsPath() const { return dir_.file("vTome.ini"); }
    qt::QtMainWindow& window() const { return *platform().mainWindow(); }

    // Shows a topic the way every topic is shown: its tree item is selected.
    void show(const char* title);

    // Presses a key on the main window; `user` plays the modal dialog the
    // key opens, which must be closed when it returns.
    void pressOpening(Qt::Key key, Qt::KeyboardModifiers modifiers, const std::function<void(QWidget&)>& user);
    // The same with any way of opening the dialog (a menu item, a click).
    void openingDialog(const std::function<void()>& open, const std::function<void(QWidget&)>& user);

    testing::TempDir dir_;
    std::unique_ptr<shell::Application> app_;

private:
    std::string document_;
    std::filesystem::path previousFolder_;
};

}  // namespace vtome::gui_test
