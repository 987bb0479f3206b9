// Where the viewer finds its own manual (a start without arguments, F1) and
// its settings file, in a build tree and in an installed layout.

#include <cstdlib>
#include <optional>

#include "shell/install_layout.h"
#include "viewer_fixture.h"

namespace vtome {
namespace {

namespace fs = std::filesystem;
using testing::writeFile;

// Sets or removes an environment variable for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A manual whose title page says where it lies.
std::string manualAt(const std::string& place) {
    return "[vTome Header]\r\n<text>\r\nThe manual " + place + "\r\n</text>\r\n";
}

// The places, relative to the test's folder (the current folder), for an
// executable in prefix/bin/.
constexpr const char* kExecutable = "prefix/bin/vtome";
constexpr const char* kInCurrentFolder = "vTome_doc.vtome";
constexpr const char* kBesideExecutable = "prefix/bin/vTome_doc.vtome";
constexpr const char* kInstalled = "prefix/share/vtome/vTome_doc.vtome";

class OwnManual : public testing::ViewerTest {
protected:
    void place(const std::string& relative) {
        fs::create_directories(fs::path(dir_.file(relative)).parent_path());
        writeFile(dir_.file(relative), manualAt(relative));
    }
    bool startAs(const std::string& executable, std::vector<std::string> args = {}) {
        app_ = std::make_unique<shell::Application>(platform_,
                                                    shell::LaunchContext{std::move(args), executable, settingsPath(), dir_.file("data")});
        bool started = false;
        platform_.guard([&] { started = app_->start(); });
        return started;
    }
};

// A start without arguments and F1, for the manual in some of its places.
struct ManualCase {
    const char* name;
    std::vector<std::string> present;
    std::string opened;        // the document a start without arguments opens; empty: none
    std::string helpArgument;  // what F1 passes to the second instance
};

void PrintTo(const ManualCase& c, std::ostream* out) { *out << c.name; }

class OwnManualOrder : public OwnManual, public ::testing::WithParamInterface<ManualCase> {};

TEST_P(OwnManualOrder, TheCurrentFolderThenBesideTheExecutableThenTheInstalledDataFolder) {
    const ManualCase& c = GetParam();
    const std::string root = dir_.path().string() + "/";
    auto expand = [&](const std::string& path) {
        return !path.empty() && path[0] == '@' ? root + path.substr(1) : path;
    };
    fs::create_directories(dir_.file("prefix/bin"));
    for (const std::string& relative : c.present) place(relative);

    ASSERT_TRUE(startAs(root + kExecutable));
    EXPECT_TRUE(platform_.messageBoxes().empty());
    if (c.opened.empty()) {
        EXPECT_FALSE(document().isOpen());
    } else {
        EXPECT_EQ(document().documentPath, expand(c.opened));
        EXPECT_EQ(currentTitle(), "vTome_doc.vtome");
    }

    press(platform::vk::kF1);
    ASSERT_EQ(platform_.processes().size(), 1u);
    const std::vector<std::string> arguments = platform_.processes()[0].arguments;
    EXPECT_EQ(arguments, std::vector<std::string>{expand(c.helpArgument)});
    if (c.opened.empty()) return;

    // The second instance opens the same manual from that argument.
    platform::headless::HeadlessPlatform second;
    shell::Application help(second, shell::LaunchContext{arguments, root + kExecutable, settingsPath(), dir_.file("data")});
    bool started = false;
    second.guard([&] { started = help.start(); });
    ASSERT_TRUE(started);
    EXPECT_TRUE(second.messageBoxes().empty());
    EXPECT_EQ(second.topicView()->text(), "\r\nThe manual " + c.present.front());
}

// A leading "@" stands for the test's folder.
std::vector<ManualCase> manualCases() {
    return {
        {"Everywhere", {kInCurrentFolder, kBesideExecutable, kInstalled}, "vTome_doc.vtome", "vTome_doc"},
        {"BesideAndInstalled", {kBesideExecutable, kInstalled}, std::string("@") + kBesideExecutable, "@prefix/bin/vTome_doc"},
        {"InstalledOnly", {kInstalled}, std::string("@") + kInstalled, "@prefix/share/vtome/vTome_doc"},
        // Nowhere: no document, and F1 lets the second instance report the
        // manual missing beside the executable.
        {"Nowhere", {}, "", "@prefix/bin/vTome_doc"},
    };
}

INSTANTIATE_TEST_SUITE_P(Places, OwnManualOrder, ::testing::ValuesIn(manualCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OwnManual, ASourceDocumentInTheCurrentFolderStillComesFirst) {
    place(kInCurrentFolder);
    writeDocument("vtomesrc");
    ASSERT_TRUE(startAs(dir_.file(kExecutable)));
    EXPECT_EQ(document().documentPath, "vtomesrc");
}

TEST_F(OwnManual, ArgumentsAreNeverReplacedByTheManual) {
    place(kInCurrentFolder);
    startAs(dir_.file(kExecutable), {"missing"});
    ASSERT_EQ(platform_.messageBoxes().size(), 1u);
    EXPECT_EQ(platform_.messageBoxes()[0].text, "File Not Found :missing.vtome");
    EXPECT_FALSE(document().isOpen());
}

TEST_F(OwnManual, APathTooLongForADocumentIsPassedOverWithoutAMessage) {
    // Two long folder names put the manual's path past 260 characters.
    const std::string folder = dir_.file(std::string(200, 'a') + "/" + std::string(60, 'b') + "/bin");
    fs::create_directories(folder);
    writeFile(folder + "/vTome_doc.vtome", manualAt("far away"));
    ASSERT_TRUE(startAs(folder + "/vtome"));
    EXPECT_FALSE(document().isOpen());
    EXPECT_TRUE(platform_.messageBoxes().empty());
}

TEST_F(OwnManual, WithoutAnExecutablePathOnlyTheCurrentFolderIsLooked) {
    place(kBesideExecutable);
    EXPECT_EQ(shell::findOwnManual(""), std::nullopt);
    place(kInCurrentFolder);
    EXPECT_EQ(shell::findOwnManual(""), "vTome_doc.vtome");
}

// --- vTome.ini

TEST(SettingsPath, BesideABuildOrUnpackedCopyButAlwaysInTheConfigFolderWhenInstalled) {
    testing::TempDir dir;
    const std::string root = dir.path().string();
    const ScopedEnv config("XDG_CONFIG_HOME", root + "/config");
    const std::string xdg = root + "/config/vtome/vTome.ini";

    struct Case {
        const char* executable;
        const char* manual;  // placed relative to the root; null: none
        bool installed;
    };
    const Case cases[] = {
        {"build/bin/vtome", "build/bin/vTome_doc.vtome", false},   // the build tree
        {"unpacked/bin/vtome", nullptr, false},                     // a bin/ without the data folder
        {"usr/bin/vtome", "usr/share/vtome/vTome_doc.vtome", true},  // installed, and writable here
        {"opt/libexec/vtome", "opt/share/vtome/vTome_doc.vtome", false},  // not in a bin/ folder
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.executable);
        const fs::path executable = root + "/" + c.executable;
        fs::create_directories(executable.parent_path());
        if (c.manual != nullptr) {
            fs::create_directories(fs::path(root + "/" + c.manual).parent_path());
            writeFile(root + "/" + c.manual, manualAt("here"));
        }
        EXPECT_EQ(shell::isInstalledLayout(executable.string()), c.installed);
        EXPECT_EQ(shell::settingsPathFor(executable.string()),
                  c.installed ? xdg : executable.parent_path().string() + "/vTome.ini");
    }
    // A folder that cannot be written (here: one that is gone) uses the
    // config folder too.
    EXPECT_EQ(shell::settingsPathFor(root + "/gone/bin/vtome"), xdg);
}

TEST(SettingsPath, TheConfigFolderFallsBackToHomeWhenUnsetOrRelative) {
    const ScopedEnv home("HOME", "/home/reader");
    for (const std::optional<std::string>& value : {std::optional<std::string>(), std::optional<std::string>("rel/cfg"),
                                                    std::optional<std::string>("")}) {
        const ScopedEnv config("XDG_CONFIG_HOME", value);
        EXPECT_EQ(shell::settingsPathFor("/nonexistent/bin/vtome"), "/home/reader/.config/vtome/vTome.ini");
    }
}

}  // namespace
}  // namespace vtome
