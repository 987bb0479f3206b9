// vtome: the viewer. `vtome [document [topic title]]`, `vtome --help`,
// `vtome --version`.

#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/qt_platform.h"
#include "annotations/user_data.h"
#include "shell/application.h"
#include "shell/settings.h"

static_assert(vtome::shell::kVersion == VTOME_VERSION, "the window title and --version name one version");

namespace {

constexpr const char* kUsage =
    "usage: vtome [DOCUMENT [TOPIC]]\n"
    "\n"
    "Shows the help document DOCUMENT (\".vtome\" is added when nothing exists\n"
    "under the name) at the topic titled TOPIC, or else at its title page.\n"
    "Without a document it opens \"vtomesrc\" from the current folder, or else\n"
    "vTome's own manual.\n"
    "\n"
    "  --help     print this text and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "The keys and the files vTome reads and writes: man vtome, or F1.\n";

// --help and --version, when one of them is the only argument: answered
// before the window system is reached, so that they work without a display.
// Any other command line is the viewer's, unchanged.
std::optional<int> answerInformationOption(int argc, char** argv) {
    std::vector<const char*> words;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '\0') words.push_back(argv[i]);  // an empty word is no argument
    }
    if (words.size() != 1) return std::nullopt;
    if (std::strcmp(words[0], "--help") == 0) {
        std::fputs(kUsage, stdout);
    } else if (std::strcmp(words[0], "--version") == 0) {
        std::fputs("vtome " VTOME_VERSION "\n", stdout);
    } else {
        return std::nullopt;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// The running executable itself, not a search of PATH: the settings file
// and the manual are found from it.
std::string executablePath(const char* argv0) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) return self.string();
    return std::filesystem::absolute(argv0, error).string();
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = answerInformationOption(argc, argv)) return *status;

    // The platform takes the toolkit's own options out of argv first.
    vtome::platform::qt::QtPlatform platform(argc, argv);
    // Lets the desktop match the window with the desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VTOME_APP_ID));
    const std::string executable = executablePath(argv[0]);
    vtome::shell::LaunchContext launch{std::vector<std::string>(argv + 1, argv + argc), executable,
                                       vtome::shell::settingsPathFor(executable),
                                       vtome::defaultDataFolder()};
    vtome::shell::Application application(platform, std::move(launch));
    return application.run();
}
