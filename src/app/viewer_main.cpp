// vtome: the viewer. `vtome [document [topic title]]`.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/qt/qt_platform.h"
#include "annotations/user_data.h"
#include "shell/application.h"
#include "shell/settings.h"

namespace {

// The running executable itself, not a search of PATH: the settings file
// and the manual live beside it.
std::string executablePath(const char* argv0) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) return self.string();
    return std::filesystem::absolute(argv0, error).string();
}

}  // namespace

int main(int argc, char** argv) {
    // The platform takes the toolkit's own options out of argv first.
    vtome::platform::qt::QtPlatform platform(argc, argv);
    const std::string executable = executablePath(argv[0]);
    vtome::shell::LaunchContext launch{std::vector<std::string>(argv + 1, argv + argc), executable,
                                       vtome::shell::settingsPathFor(executable),
                                       vtome::defaultDataFolder()};
    vtome::shell::Application application(platform, std::move(launch));
    return application.run();
}
