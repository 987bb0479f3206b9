#pragma once
// Shared pieces of the Qt suite: recording fakes of the application side,
// a main-window fixture and helpers that press keys where the focus is.

#include <gtest/gtest.h>

#include <QString>
#include <Qt>

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/qt/qt_platform.h"

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

}  // namespace vtome::gui_test
