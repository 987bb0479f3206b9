// Opening a document: from the command line at start-up, and by File > Open
// (also from the recent documents and by a drop, which open as it does).

#include <filesystem>

#include "annotations/user_data.h"
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
    // A document the user named is listed among the recent ones; without a
    // start topic it may open where it was left.
    const std::string listed = listedPath(document.documentPath.view());
    showOpenedDocument(start, arguments.size() == 1 ? lastPlaceFor(listed) : std::nullopt);
    if (!arguments.empty()) recent_.add(listed);
    watchOpenDocument(fileStateOf(document.documentPath.str()));
}

void Application::openUserData() {
    const std::string dataFolder = launch_.dataFolder.empty() ? defaultDataFolder() : launch_.dataFolder;
    const std::optional<RuntimeFailure> problem =
        userData_.open(viewer_.document().documentPath.view(), dataFolder);
    if (problem) platform::reportFileFailure(platform_, *problem);
}

void Application::showOpenedDocument(TopicEntry* startTopic, const std::optional<TopicPlace>& place) {
    TopicIndex& index = *viewer_.document().index;
    TopicEntry* left = place ? viewer_.findTopicByName(place->topicName) : nullptr;
    if (left != nullptr) {
        viewer_.showPlace(left, place->line);
    } else {
        viewer_.selectTopic(startTopic != nullptr ? startTopic : index.firstTopic());
    }
    bookmarks_.loadBookmarks();
}

std::optional<TopicPlace> Application::lastPlaceFor(const std::string& path) const {
    if (!reopenAtLastPlace_) return std::nullopt;
    const RecentDocument* listed = recent_.find(path);
    return listed != nullptr ? listed->place : std::nullopt;
}

void Application::rememberPlace() {
    const HelpDocument& document = viewer_.document();
    if (!document.isOpen()) return;
    if (const std::optional<TopicPlace> place = viewer_.currentPlace()) recent_.setPlace(openFile_, *place);
}

void Application::watchOpenDocument(const FileState& state) {
    openFile_ = listedPath(viewer_.document().documentPath.view());
    loadedState_ = state;
    if (watcher_ != nullptr) watcher_->watch(openFile_);
}

void Application::closeDocument() {
    rememberPlace();
    HelpDocument& document = viewer_.document();
    // Nothing may reach the closed document's topics or write its user data
    // any more: the bookmarks and the history let go of the topics, the
    // index goes before the text its names point into.
    bookmarks_.clear();
    viewer_.resetHistory();
    viewer_.resetContents();
    viewer_.clearTopicView();
    document.store.reset();
    document.documentFileName.clear();
    userData_.close();
    openFile_.clear();
    if (watcher_ != nullptr) watcher_->watch({});
}

bool Application::openChosenDocument(const std::string& path) {
    HelpDocument& document = viewer_.document();
    const FileState state = fileStateOf(path);
    std::unique_ptr<KeyedStore> store;
    std::unique_ptr<TopicIndex> index;
    try {
        // The paths must fit, the file must read and its contents list
        // must build, all before the open document is let go.
        CountedString documentPath(kPathCapacity);
        documentPath.assign(path);
        CountedString dataPath(kPathCapacity);
        userDataPathFor(documentPath.view(), dataPath);
        store = loadDocumentStore(path);
        index = DocumentViewer::readContents(*store, fileNameOf(path));
    } catch (const RuntimeFailure& failure) {
        // A failure of no file of its own (a path or a line too long) is
        // still about the file chosen.
        platform::reportFileFailure(
            platform_, failure.isAboutFile() ? failure : RuntimeFailure(failure.code(), path, 0, failure.what()));
        return false;
    }

    closeDocument();
    document.store = std::move(store);
    document.documentPath.assign(path);
    document.documentFileName.assign(fileNameOf(document.documentPath.view()));
    openUserData();
    viewer_.installContents(std::move(index));
    const std::string listed = listedPath(path);
    showOpenedDocument(nullptr, lastPlaceFor(listed));
    recent_.add(listed);
    watchOpenDocument(state);
    return true;
}

void Application::openDocumentDialog() {
    // The file is chosen first: Cancel, or a file that cannot be read,
    // leaves the open document as it is.
    std::error_code error;
    platform::FileDialogRequest request;
    request.startFolder = std::filesystem::current_path(error).string();
    request.moreFilters = {std::string(kHelpDocumentFilter), std::string(kInfoManualFilter)};
    const std::optional<std::string> chosen = platform_.chooseFileToOpen(request);
    if (chosen) {
        openChosenDocument(*chosen);
    } else {
        viewer_.refreshTopicControls();
    }
    viewer_.document().startTopic.clear();
    mainWindow_->focus();
}

}  // namespace vtome::shell
