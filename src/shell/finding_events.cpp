#include "shell/finding_events.h"

#include "shell/application.h"

namespace vtome::shell {

void FindingEvents::onPageChosen(platform::SidePage page) { app_.results().onPageChosen(page); }

void FindingEvents::onFilterChanged() { app_.contentsFilter().onFilterChanged(); }

void FindingEvents::onFilterKey(std::uint32_t key) { app_.contentsFilter().onFilterKey(key); }

void FindingEvents::onResultChosen(std::uint32_t row) { app_.results().onResultChosen(row); }

}  // namespace vtome::shell
