// The installed files: all there and nothing else, as the sources have them,
// and accepted by the tools that read them (desktop-file-validate,
// appstreamcli, the MIME database, man).

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "install_support.h"
#include "support/temp_dir.h"

namespace vtome::install_test {
namespace {

namespace fs = std::filesystem;
using testing::ProcessResult;
using testing::readFile;

TEST(InstalledFiles, EveryFileIsThereAndNothingElse) {
    std::set<std::string> found;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(VTOME_STAGE)) {
        if (!entry.is_directory()) found.insert(fs::relative(entry.path(), installed()).string());
    }
    EXPECT_EQ(found, expectedFiles());
    for (const char* program : {"bin/vtome", "bin/vtome-tool"}) {
        struct stat info {};
        ASSERT_EQ(::stat(installed(program).c_str(), &info), 0) << program;
        EXPECT_EQ(info.st_mode & 0777, 0755u) << program;
    }
}

TEST(InstalledFiles, AreTheSourcesByteForByte) {
    const std::string source = VTOME_SOURCE_DIR;
    const std::pair<std::string, std::string> copies[] = {
        {"share/vtome/vTome_doc.vtome", "docs/vTome_doc.vtome"},
        {"share/applications/" + kAppId + ".desktop", "data/" + kAppId + ".desktop"},
        {"share/mime/packages/" + kAppId + ".xml", "data/" + kAppId + ".xml"},
        {"share/metainfo/" + kAppId + ".metainfo.xml", "data/" + kAppId + ".metainfo.xml"},
        {"share/icons/hicolor/scalable/apps/" + kAppId + ".svg", "data/icons/hicolor/scalable/apps/" + kAppId + ".svg"},
        {"share/doc/vtome/LICENSE", "LICENSE"},
        {"share/doc/vtome/README.md", "README.md"},
    };
    for (const auto& [installedPath, sourcePath] : copies) {
        EXPECT_EQ(readFile(installed(installedPath)), readFile(source + "/" + sourcePath)) << installedPath;
    }
}

// A PNG's size is in its header; a theme that finds a 32-pixel picture in
// 48x48/ scales it blurred.
TEST(InstalledFiles, EachIconIsAPngOfItsFoldersSize) {
    for (const int size : kIconSizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const std::string png = readFile(installed("share/icons/hicolor/" + folder + "/apps/" + kAppId + ".png"));
        ASSERT_GE(png.size(), 24u) << folder;
        EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n") << folder;
        EXPECT_EQ(png.substr(12, 4), "IHDR") << folder;
        auto number = [&](std::size_t at) {
            std::uint32_t value = 0;
            for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(png[at + i]);
            return value;
        };
        EXPECT_EQ(number(16), static_cast<std::uint32_t>(size)) << folder << " width";
        EXPECT_EQ(number(20), static_cast<std::uint32_t>(size)) << folder << " height";
    }
}

const std::map<std::string, std::string> kPlainEnvironment = {{"PATH", "/usr/bin:/bin"}, {"LC_ALL", "C.UTF-8"}};

TEST(InstalledFiles, TheDesktopEntryIsValidAndStartsTheInstalledViewerOnAFile) {
    const std::string entry = installed("share/applications/" + kAppId + ".desktop");
    const ProcessResult validate = runIn("/", kPlainEnvironment, "desktop-file-validate", {entry});
    EXPECT_EQ(validate.status, 0) << validate.out << validate.err;
    EXPECT_EQ(validate.out + validate.err, "") << "hints and warnings count too";

    const std::string text = readFile(entry);
    const std::string lines[] = {"Exec=vtome %f\n", "TryExec=vtome\n", "Icon=" + kAppId + "\n",
                                 "MimeType=text/x-vtome;\n", "Type=Application\n"};
    for (const std::string& line : lines) {
        EXPECT_NE(text.find("\n" + line), std::string::npos) << line;
    }
}

TEST(InstalledFiles, TheMetainfoIsValidAndNamesTheDesktopEntry) {
    const std::string metainfo = installed("share/metainfo/" + kAppId + ".metainfo.xml");
    const ProcessResult validate = runIn("/", kPlainEnvironment, "appstreamcli", {"validate", "--no-net", metainfo});
    EXPECT_EQ(validate.status, 0) << validate.out << validate.err;
    EXPECT_EQ(validate.out.find("E: "), std::string::npos) << validate.out;
    EXPECT_EQ(validate.out.find("W: "), std::string::npos) << validate.out;

    const std::string text = readFile(metainfo);
    EXPECT_NE(text.find("<id>" + kAppId + "</id>"), std::string::npos);
    EXPECT_NE(text.find("<launchable type=\"desktop-id\">" + kAppId + ".desktop</launchable>"), std::string::npos);
    EXPECT_NE(text.find("<release version=\"" VTOME_VERSION "\""), std::string::npos) << "no entry for this release";
}

// What a file manager does: the installed MIME package and desktop entry in
// a data folder of their own, the databases built from them as the
// packages' triggers build them, then the type of a file and the program
// for that type looked up.
class MimeLookup : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path share = data_.path() / "share";
        fs::create_directories(share / "mime/packages");
        fs::create_directories(share / "applications");
        fs::copy_file(installed("share/mime/packages/" + kAppId + ".xml"), share / "mime/packages" / (kAppId + ".xml"));
        fs::copy_file(installed("share/applications/" + kAppId + ".desktop"),
                      share / "applications" / (kAppId + ".desktop"));
        env_ = kPlainEnvironment;
        env_["HOME"] = data_.path().string();
        env_["XDG_DATA_HOME"] = share.string();
        env_["XDG_DATA_DIRS"] = "/usr/share";
        env_["XDG_CONFIG_HOME"] = (data_.path() / "config").string();
        const ProcessResult mime = runIn("/", env_, "update-mime-database", {(share / "mime").string()});
        ASSERT_EQ(mime.status, 0) << mime.err;
        const ProcessResult desktop = runIn("/", env_, "update-desktop-database", {(share / "applications").string()});
        ASSERT_EQ(desktop.status, 0) << desktop.err;

        fs::create_directories(data_.path() / "files");
        const std::string manual = readFile(installed("share/vtome/vTome_doc.vtome"));
        testing::writeFile(file("guide.vtome"), manual);
        testing::writeFile(file("vtomesrc"), manual);  // no extension: known by its first line
        testing::writeFile(file("guide.vinfo"), "[vTome Bookmarks]\r\n1=Introduction,0\r\n");
        testing::writeFile(file("notes.txt"), "[vTome Header] mentioned in a text file\r\n");
    }

    std::string file(const std::string& name) const { return (data_.path() / "files" / name).string(); }
    std::string lookUp(const std::string& program, const std::vector<std::string>& args) {
        const ProcessResult result = runIn("/", env_, program, args);
        EXPECT_EQ(result.status, 0) << program << ": " << result.err;
        std::string out = result.out;
        while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
        return out;
    }

    // One attribute of a file as GIO, and so GNOME's file manager, sees it.
    std::string gioAttribute(const std::string& path, const std::string& attribute) {
        const std::string out = lookUp("gio", {"info", "-a", attribute, path});
        const std::string label = "  " + attribute + ": ";
        const std::size_t at = out.find(label);
        return at == std::string::npos ? "(none)" : out.substr(at + label.size(), out.find('\n', at) - at - label.size());
    }

    testing::TempDir data_;
    std::map<std::string, std::string> env_;
};

TEST_F(MimeLookup, FilesGetTheirTypeAndTheTypeGetsTheViewer) {
    const std::pair<const char*, const char*> types[] = {
        {"guide.vtome", "text/x-vtome"},
        {"vtomesrc", "text/x-vtome"},
        {"guide.vinfo", "text/x-vtome-info"},
        {"notes.txt", "text/plain"},  // the extension decides, not the words inside
    };
    for (const auto& [name, type] : types) {
        // xdg-mime as programs outside a desktop ask, and GIO as GNOME's
        // file manager asks.
        EXPECT_EQ(lookUp("xdg-mime", {"query", "filetype", file(name)}), type) << name;
        EXPECT_EQ(gioAttribute(file(name), "standard::content-type"), type) << name;
    }
    EXPECT_EQ(lookUp("xdg-mime", {"query", "default", "text/x-vtome"}), kAppId + ".desktop");
    // The icon a file manager shows for a document is the viewer's book.
    EXPECT_EQ(gioAttribute(file("guide.vtome"), "standard::icon").rfind(kAppId + ",", 0), 0u)
        << gioAttribute(file("guide.vtome"), "standard::icon");
}

TEST(InstalledFiles, ManPagesRenderWithoutWarningsAndManFindsThem) {
    for (const char* page : {"vtome", "vtome-tool"}) {
        SCOPED_TRACE(page);
        std::map<std::string, std::string> env = kPlainEnvironment;
        env["MANPATH"] = installed("share/man");
        env["MANWIDTH"] = "80";
        const ProcessResult man = runIn("/", env, "man", {"--warnings", page});
        EXPECT_EQ(man.status, 0) << man.err;
        EXPECT_EQ(man.err, "");
        EXPECT_NE(man.out.find("NAME"), std::string::npos);
        EXPECT_NE(man.out.find("vTome " VTOME_VERSION), std::string::npos) << "the page names another version";
    }
}

}  // namespace
}  // namespace vtome::install_test
