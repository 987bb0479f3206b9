#include "shell/dispatch_tables.h"

#include "resources/messages.h"
#include "resources/ids.h"
#include "shell/application.h"
#include "shell/recent_documents.h"

namespace vtome::shell {

namespace {

namespace msg = platform::message;

constexpr MessageRow kMessageTable[] = {
    {msg::kCommand, &Application::onCommand},
    {msg::kDestroy, &Application::onDestroy},
    {msg::kClose, &Application::onClose},
    {msg::kCreate, &Application::onCreate},
    {msg::kSize, &Application::onSize},
    {msg::kKeyDown, &Application::onKeyDown},
    {msg::kSetFocus, &Application::onSetFocus},
    {msg::kInitMenuPopup, &Application::onInitMenuPopup},
    {msg::kDropFiles, &Application::onDropFiles},
    {0, nullptr},
};

// One row per recent document of the File menu.
static_assert(ids::kRecentCommandCount == kMaxRecentDocuments && kMaxRecentDocuments == 8);

constexpr CommandRow kCommandTable[] = {
    {ids::kCmdQuit, &Application::quit},
    {ids::kCmdOpen, &Application::openDocumentDialog},
    {ids::kCmdSaveAs, &Application::exportText},
    {ids::kCmdScopeTopic, &Application::chooseTopicScope},
    {ids::kCmdScopeDocument, &Application::chooseDocumentScope},
    {ids::kCmdTopWindow, &Application::switchTopWindow},
    {ids::kCmdManageBookmarks, &Application::openBookmarkManager},
    {ids::kCmdOwnHelp, &Application::openOwnHelp},
    {ids::kCmdShortcuts, &Application::showShortcuts},
    {ids::kCmdAbout, &Application::showAbout},
    {ids::kCmdHome, &Application::goHome},
    {ids::kCmdBack, &Application::goBack},
    {ids::kCmdPrevious, &Application::goPrevious},
    {ids::kCmdNext, &Application::goNext},
    {ids::kCmdSearch, &Application::searchFromKeyboard},
    {ids::kCmdFocusSearch, &Application::focusSearchBox},
    {ids::kCmdEnd, &Application::goEnd},
    {ids::kCmdLineDown, &Application::scrollLineDown},
    {ids::kCmdLineUp, &Application::scrollLineUp},
    {ids::kCmdPageDown, &Application::scrollPageDown},
    {ids::kCmdPageUp, &Application::scrollPageUp},
    {ids::kCmdResultsPage, &Application::showResultsPage},
    {ids::kCmdContentsFilter, &Application::focusContentsFilter},
    {ids::kCmdForward, &Application::goForward},
    {ids::kCmdTextLarger, &Application::makeTextLarger},
    {ids::kCmdTextSmaller, &Application::makeTextSmaller},
    {ids::kCmdTextStandard, &Application::makeTextStandard},
    {ids::kCmdReopenAtLastPlace, &Application::switchReopenAtLastPlace},
    {ids::kFirstRecentCommand + 0, &Application::openRecentDocument<0>},
    {ids::kFirstRecentCommand + 1, &Application::openRecentDocument<1>},
    {ids::kFirstRecentCommand + 2, &Application::openRecentDocument<2>},
    {ids::kFirstRecentCommand + 3, &Application::openRecentDocument<3>},
    {ids::kFirstRecentCommand + 4, &Application::openRecentDocument<4>},
    {ids::kFirstRecentCommand + 5, &Application::openRecentDocument<5>},
    {ids::kFirstRecentCommand + 6, &Application::openRecentDocument<6>},
    {ids::kFirstRecentCommand + 7, &Application::openRecentDocument<7>},
    {0, nullptr},
};

}  // namespace

std::span<const MessageRow> messageTable() { return kMessageTable; }
std::span<const CommandRow> commandTable() { return kCommandTable; }

}  // namespace vtome::shell
