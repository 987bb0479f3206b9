#pragma once
// What the navigation bar's buttons, search box and Enter key do.

#include "platform/dialog.h"

namespace vtome::shell {

class Application;

class NavigationBarEvents : public platform::DialogEvents {
public:
    explicit NavigationBarEvents(Application& app) : app_(app) {}
    void onInit(platform::DialogView&) override {}
    void onCommand(platform::DialogView& view, std::uint32_t control, std::uint32_t notification) override;
    // A pane is never closed by the user.
    void onClose(platform::DialogView&) override {}

private:
    Application& app_;
};

}  // namespace vtome::shell
