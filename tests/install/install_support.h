#pragma once
// The staged installation (DESTDIR) the install tests look at, and programs
// run in an environment of the test's own making.

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/process.h"

namespace vtome::install_test {

inline const std::string kAppId = VTOME_APP_ID;
inline constexpr int kIconSizes[] = {VTOME_ICON_SIZES};

// The installed prefix inside the staging folder ("<stage>/usr").
inline std::filesystem::path installed() { return std::filesystem::path(VTOME_STAGE) / (VTOME_PREFIX + 1); }
inline std::string installed(const std::string& relative) { return (installed() / relative).string(); }

// Every file the installation must hold, relative to the prefix.
inline std::set<std::string> expectedFiles() {
    std::set<std::string> files = {
        "bin/vtome",
        "bin/vtome-tool",
        "share/vtome/vTome_doc.vtome",
        "share/applications/" + kAppId + ".desktop",
        "share/mime/packages/" + kAppId + ".xml",
        "share/metainfo/" + kAppId + ".metainfo.xml",
        "share/icons/hicolor/scalable/apps/" + kAppId + ".svg",
        "share/man/man1/vtome.1.gz",
        "share/man/man1/vtome-tool.1.gz",
        "share/doc/vtome/LICENSE",
        "share/doc/vtome/README.md",
    };
    for (const int size : kIconSizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        files.insert("share/icons/hicolor/" + folder + "/apps/" + kAppId + ".png");
    }
    return files;
}

// Runs a program with exactly `env` as its environment (PATH included when
// given) in `folder`, through env(1).
inline testing::ProcessResult runIn(const std::string& folder, const std::map<std::string, std::string>& env,
                                    const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> words = {"-i", "-C", folder};
    for (const auto& [name, value] : env) words.push_back(name + "=" + value);
    words.push_back(program);
    words.insert(words.end(), args.begin(), args.end());
    return testing::runProcess("/usr/bin/env", words);
}

}  // namespace vtome::install_test
