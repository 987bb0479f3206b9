// Opening a document: from the command line at start-up, and by File > Open.

#include <filesystem>

#include "document/document_loading.h"
#include "document/document_location.h"
#include "platform/failure_report.h"
#include "shell/application.h"
#include "shell/install_layout.h"
#include "store/file_io.h"

namespace vtome::shell {

namespace {

constexpr std::string_view kSourceDocument = "vtomesrc";
constexpr std::size_t kMaxArguments = 2;

}  // namespace

void Application::openFromCommandLine() {
    HelpDocument& document = viewer_.document();
    // An empty quoted word is no argument.
    std::vector<std::string> arguments;
    for (const std::string& word : launch_.arguments) {
        if (!word.empty()) arguments.push_back(word);
    }

    if (arguments.size() > kMaxArguments) {
        showFatalError("Too many arguments on Command Line");
        return;
    }
    if (!arguments.empty()) {
        locateDocument(arguments[0], document.documentPath);
        if (pathExists(document.documentPath.str())) {
            document.store = loadDocumentStore(document.documentPath.str());
            document.documentFileName.assign(fileNameOf(document.documentPath.view()));
        } else {
            showFatalError(std::string(kFileNotFound) + document.documentPath.str());
            document.documentFileName.clear();
        }
    } else if (pathExists(std::string(kSourceDocument))) {
        document.documentPath.assign(kSourceDocument);
        document.documentFileName.assign(kSourceDocument);
        document.store = KeyedStore::loadFromFile(std::string(kSourceDocument));
    } else if (const std::optional<std::string> manual = findOwnManual(launch_.executablePath)) {
        // Started from a menu or a file manager's "open with" without a
        // file: the viewer's own manual rather than an empty window. A path
        // too long for a document is passed over, as if there were none.
        if (manual->size() <= document.documentPath.capacity()) {
            document.documentPath.assign(*manual);
            document.documentFileName.assign(fileNameOf(document.documentPath.view()));
            document.store = KeyedStore::loadFromFile(*manual);
        }
    }
    if (arguments.size() == kMaxArguments) {
        document.startTopic.assign(arguments[1]);
    } else {
        document.startTopic.clear();
    }
    if (document.documentFileName.empty()) return;

    openUserData();
    viewer_.buildContents();
    TopicEntry* start = document.index->findByTitle(document.startTopic.view());
    showOpenedDocument(start);
}

void Application::openUserData() {
    const std::string dataFolder = launch_.dataFolder.empty() ? defaultDataFolder() : launch_.dataFolder;
    const std::optional<RuntimeFailure> problem =
        userData_.open(viewer_.document().documentPath.view(), dataFolder);
    if (problem) platform::reportFileFailure(platform_, *problem);
}

void Application::showOpenedDocument(TopicEntry* startTopic) {
    TopicIndex& index = *viewer_.document().index;
    viewer_.selectTopic(startTopic != nullptr ? startTopic : index.firstTopic());
    bookmarks_.loadBookmarks();
}

void Application::openDocumentDialog() {
    HelpDocument& document = viewer_.document();
    viewer_.resetContents();
    viewer_.resetHistory();
    viewer_.clearTopicView();
    // The closed document is gone entirely: nothing may reach its topics or
    // write its user data any more, even when no other document follows.
    document.store.reset();
    document.documentFileName.clear();
    bookmarks_.clear();
    userData_.close();

    std::error_code error;
    platform::FileDialogRequest request;
    request.startFolder = std::filesystem::current_path(error).string();
    request.moreFilters = {std::string(kHelpDocumentFilter), std::string(kInfoManualFilter)};
    const std::optional<std::string> chosen = platform_.chooseFileToOpen(request);
    if (!chosen) {
        viewer_.refreshTopicControls();
    } else {
        document.documentPath.assign(*chosen);
        document.documentFileName.assign(fileNameOf(document.documentPath.view()));
        openUserData();
        document.store = loadDocumentStore(document.documentPath.str());
        viewer_.buildContents();
        showOpenedDocument(nullptr);
    }
    document.startTopic.clear();
    mainWindow_->focus();
}

}  // namespace vtome::shell
