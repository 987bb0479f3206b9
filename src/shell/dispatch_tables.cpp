#include "shell/dispatch_tables.h"

#include "resources/messages.h"
#include "resources/ids.h"
#include "shell/application.h"

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
    {0, nullptr},
};

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
    {0, nullptr},
};

}  // namespace

std::span<const MessageRow> messageTable() { return kMessageTable; }
std::span<const CommandRow> commandTable() { return kCommandTable; }

}  // namespace vtome::shell
