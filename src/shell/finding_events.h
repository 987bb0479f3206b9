#pragma once
// What the Contents and Results pages' tabs, filter field and results list do.

#include "platform/side_pages.h"

namespace vtome::shell {

class Application;

class FindingEvents final : public platform::SidePagesEvents {
public:
    explicit FindingEvents(Application& app) : app_(app) {}
    void onPageChosen(platform::SidePage page) override;
    void onFilterChanged() override;
    void onFilterKey(std::uint32_t key) override;
    void onResultChosen(std::uint32_t row) override;

private:
    Application& app_;
};

}  // namespace vtome::shell
