// The Debian package: built by cpack from the same install rules, holding
// exactly the staged files, with the dependencies dpkg-shlibdeps found.

#include <gtest/gtest.h>

#include <sstream>
#include <unistd.h>

#include "install_support.h"
#include "support/temp_dir.h"

namespace vtome::install_test {
namespace {

namespace fs = std::filesystem;
using testing::ProcessResult;

TEST(DebianPackage, HoldsTheInstallationAndNamesItsDependencies) {
    if (::access("/usr/bin/dpkg-shlibdeps", X_OK) != 0) GTEST_SKIP() << "dpkg-dev is not installed";
    testing::TempDir out;
    const ProcessResult pack =
        testing::runProcess(VTOME_CPACK_COMMAND, {"-G", "DEB", "--config", VTOME_CPACK_CONFIG, "-B", out.path()});
    ASSERT_EQ(pack.status, 0) << pack.out << pack.err;
    std::vector<fs::path> debs;
    for (const fs::directory_entry& entry : fs::directory_iterator(out.path())) {
        if (entry.path().extension() == ".deb") debs.push_back(entry.path());
    }
    ASSERT_EQ(debs.size(), 1u);
    EXPECT_EQ(debs[0].filename().string().rfind("vtome_" VTOME_VERSION "-1_", 0), 0u) << debs[0];

    auto field = [&](const std::string& name) {
        const ProcessResult result = testing::runProcess("/usr/bin/dpkg-deb", {"--field", debs[0], name});
        EXPECT_EQ(result.status, 0) << result.err;
        return result.out;
    };
    EXPECT_EQ(field("Package"), "vtome\n");
    EXPECT_EQ(field("Version"), VTOME_VERSION "-1\n");
    const std::string depends = field("Depends");
    for (const char* library : {"libqt6widgets6", "libqt6gui6", "libqt6core6", "libc6", "libstdc++6",
                                "qt6-qpa-plugins"}) {
        EXPECT_NE(depends.find(library), std::string::npos) << library << " missing from " << depends;
    }
    const std::string recommends = field("Recommends");
    EXPECT_NE(recommends.find("shared-mime-info"), std::string::npos) << recommends;
    EXPECT_NE(recommends.find("desktop-file-utils"), std::string::npos) << recommends;

    // The database updates are the file triggers of those packages: no
    // maintainer script of our own.
    const ProcessResult info = testing::runProcess("/usr/bin/dpkg-deb", {"--info", debs[0]});
    for (const char* script : {"postinst", "postrm", "preinst", "prerm", "triggers"}) {
        EXPECT_EQ(info.out.find(script), std::string::npos) << script;
    }

    const ProcessResult listing = testing::runProcess("/usr/bin/dpkg-deb", {"--contents", debs[0]});
    ASSERT_EQ(listing.status, 0) << listing.err;
    std::set<std::string> files;
    std::istringstream lines(listing.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == 'd') continue;  // folders
        EXPECT_NE(line.find(" root/root "), std::string::npos) << line;
        const std::size_t path = line.find("./usr/");
        ASSERT_NE(path, std::string::npos) << line;
        files.insert(line.substr(path + 6));
    }
    EXPECT_EQ(files, expectedFiles());
}

}  // namespace
}  // namespace vtome::install_test
