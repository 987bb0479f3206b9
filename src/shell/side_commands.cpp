#include "shell/side_commands.h"

#include <chrono>
#include <filesystem>

#include "document/document_location.h"
#include "document/text_export.h"
#include "resources/messages.h"
#include "resources/dialog_template.h"
#include "resources/ids.h"
#include "shell/application.h"

namespace vtome::shell {

namespace {

// The first instance waits this long for the help instance to end.
constexpr std::chrono::milliseconds kOwnHelpWait{0xFFFF};

constexpr std::string_view kShortcuts =
    "Keyboard Shortcuts\n"
    "\n"
    "  Home            jump to 1st topic\n"
    "  End             jump to last topic\n"
    "  Backspace       jump to previous topic\n"
    "  Page Up         jump to previous topic in tree\n"
    "  Page Down       jump to next topic in tree\n"
    "  Insert          activate search edit box\n"
    "  Enter           search next\n"
    "  Left Arrow      page up in current topic\n"
    "  Right Arrow     page down in current topic\n"
    "  Down Arrow      1 line down in current topic\n"
    "  Up Arrow        1 line up in current topic\n"
    "  Space           open notes window\n"
    "  B               bookmark current topic\n";

// An edit selection starting here is removed, the caret left where it is.
constexpr std::uint32_t kNoSelection = 0xFFFFFFFFu;

// The About box: closes on OK or Enter and on its close box, but not on
// Escape, so a stray Escape meant for the main window cannot dismiss it
// unread.
class AboutDialog : public platform::DialogEvents {
public:
    void onInit(platform::DialogView& view) override {
        view.setText(ids::kAboutText, SideCommands::aboutText());
        view.select(ids::kAboutText, kNoSelection, kNoSelection);
        view.focusDialog();
    }

    void onCommand(platform::DialogView& view, std::uint32_t control, std::uint32_t notification) override {
        if (control == platform::kIdOk && notification == platform::notify::kButtonClicked) onClose(view);
    }
};

}  // namespace

std::string_view SideCommands::shortcutsText() { return kShortcuts; }

std::string SideCommands::aboutText() {
    return std::string(kProductName) + " " + std::string(kVersion) +
           "\r\n"
           "Written by the vTome authors\r\n"
           "Contact: vtome-help@example.org\r\n"
           "Web: https://vtome.example.org";
}

void SideCommands::exportText() {
    HelpDocument& document = app_.viewer().document();
    if (!document.isOpen()) return;

    std::error_code error;
    platform::FileDialogRequest request;
    request.startFolder = std::filesystem::current_path(error).string();
    request.filterName = "Text File (*.txt)";
    request.filterPattern = "*.txt";
    request.defaultExtension = "txt";
    const std::optional<std::string> chosen = app_.platform().chooseFileToSave(request);
    if (chosen && !chosen->empty()) {
        // The next file dialog starts where the user saved. The path is made
        // absolute first, so that a relative answer still names the file the
        // user chose once the current directory has moved.
        std::filesystem::path target = std::filesystem::absolute(*chosen, error);
        if (error) target = *chosen;
        if (target.has_parent_path()) std::filesystem::current_path(target.parent_path(), error);
        writeTextExport(*document.store, target.string());
    }
    if (platform::MainWindow* window = app_.mainWindow()) window->focus();
}

void SideCommands::openOwnHelp() {
    // The running executable itself, never a program found on the PATH.
    const std::string& executable = app_.launch().executablePath;
    if (executable.empty()) return;

    // Named without its extension, which the started instance adds again.
    // A manual found nowhere is looked for beside the executable, and the
    // started instance says that it is not found there.
    const std::optional<std::string> manual = findOwnManual(executable);
    const std::string document = manual ? manual->substr(0, manual->size() - kDocumentExtension.size())
                                        : executableFolder(executable) + "/" + std::string(kOwnHelpArgument);
    // One argument, whatever blanks the folder holds. A help that cannot
    // start is not reported: the viewer simply goes on.
    app_.platform().runProcess(executable, {document}, kOwnHelpWait);
}

void SideCommands::showShortcuts() { app_.viewer().setTopicText(kShortcuts); }

void SideCommands::showAbout() {
    AboutDialog about;
    app_.platform().runModalDialog(resources::aboutDialog(), about);
    if (platform::MainWindow* window = app_.mainWindow()) window->focus();
}

}  // namespace vtome::shell
