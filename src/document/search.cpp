#include "document/search.h"

#include "resources/ids.h"

namespace vtome {

void SearchController::readSearchScope(bool topicScopeChecked) { searchInTopicScope_ = topicScopeChecked; }

void SearchController::searchNext() {}

void SearchController::focusSearchBox() {
    if (platform::DialogView* bar = viewer_.panes().navigationBar) bar->focus(ids::kNavSearchBox);
}

void SearchController::restartSearch() {}

void SearchController::onSearchTextChanged() {}

void SearchController::onIndexReplaced() {}

}  // namespace vtome
