#pragma once
// The menu commands beside the document's navigation: export as text, the
// viewer's own help in a second instance, the keyboard help and About.

namespace vtome::shell {

class Application;

class SideCommands {
public:
    explicit SideCommands(Application& app) : app_(app) {}

    void exportText();
    void openOwnHelp();
    void showShortcuts();
    void showAbout();

private:
    Application& app_;
};

}  // namespace vtome::shell
