#pragma once
// The menu commands beside the document's navigation: export as text, the
// viewer's own help in a second instance, the keyboard help and About.

#include <string>
#include <string_view>

#include "shell/install_layout.h"

namespace vtome::shell {

class Application;

class SideCommands {
public:
    explicit SideCommands(Application& app) : app_(app) {}

    // File > Save As...: the open document as one plain text file.
    void exportText();
    // F1: a second instance of this executable on the viewer's manual, from
    // the current folder, beside the executable or in the installed data
    // folder (findOwnManual).
    void openOwnHelp();
    // Help > Keyboard Shortcuts: the key list in the topic view.
    void showShortcuts();
    // Help > About: product, version and where to reach the authors.
    void showAbout();

    // The key list shown by showShortcuts (LF line ends).
    static std::string_view shortcutsText();
    // The text of the About box (CR LF between lines, none at the end).
    static std::string aboutText();

private:
    Application& app_;
};

}  // namespace vtome::shell
