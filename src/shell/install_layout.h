#pragma once
// Where vTome's own files are, seen from its executable. A copy in a build
// tree or an unpacked folder has its manual beside the executable; an
// installed one (`cmake --install`, the Debian package) keeps it in
// ../share/vtome/ beside its bin/ folder.

#include <optional>
#include <string>
#include <string_view>

namespace vtome::shell {

// The viewer's own manual; F1 names it without its extension, which the
// started instance adds again.
constexpr std::string_view kOwnHelpFile = "vTome_doc.vtome";
constexpr std::string_view kOwnHelpArgument = "vTome_doc";

// The folder holding the executable, without a trailing "/"; "." for a bare
// name.
std::string executableFolder(const std::string& executablePath);

// ../share/vtome seen from the executable's folder ("/usr/bin/vtome" gives
// "/usr/share/vtome").
std::string installedDataFolder(const std::string& executablePath);

// True when the executable sits in a folder named "bin" and the installed
// data folder beside it holds the manual.
bool isInstalledLayout(const std::string& executablePath);

// The manual in the current folder (by its relative name), else beside the
// executable, else in the installed data folder; none when it is in none of
// them. An empty executable path looks in the current folder only.
std::optional<std::string> findOwnManual(const std::string& executablePath);

}  // namespace vtome::shell
