#include "shell/install_layout.h"

#include <filesystem>

#include "store/file_io.h"

namespace vtome::shell {

std::string executableFolder(const std::string& executablePath) {
    const std::size_t slash = executablePath.rfind('/');
    return slash == std::string::npos ? "." : executablePath.substr(0, slash);
}

std::string installedDataFolder(const std::string& executablePath) {
    const std::filesystem::path folder = executableFolder(executablePath);
    return (folder / ".." / "share" / "vtome").lexically_normal().string();
}

bool isInstalledLayout(const std::string& executablePath) {
    if (std::filesystem::path(executableFolder(executablePath)).filename() != "bin") return false;
    return pathExists(installedDataFolder(executablePath) + "/" + std::string(kOwnHelpFile));
}

std::optional<std::string> findOwnManual(const std::string& executablePath) {
    const std::string name(kOwnHelpFile);
    if (pathExists(name)) return name;
    if (executablePath.empty()) return std::nullopt;
    for (const std::string& folder : {executableFolder(executablePath), installedDataFolder(executablePath)}) {
        const std::string path = folder + "/" + name;
        if (pathExists(path)) return path;
    }
    return std::nullopt;
}

}  // namespace vtome::shell
