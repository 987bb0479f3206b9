#pragma once
// The system's own dialogs: message boxes and choosing a file to open or
// to save, plus starting another program.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

class QWidget;

namespace vtome::platform::qt {

void showMessageBox(std::string_view caption, std::string_view text, MessageBoxIcon icon, bool topmost,
                    std::string_view detail);
std::optional<std::string> chooseFileToOpen(QWidget* owner, const FileDialogRequest& request);
std::optional<std::string> chooseFileToSave(QWidget* owner, const FileDialogRequest& request);

// Blocks without handling events, at most `timeout`; a program still
// running then goes on running on its own.
bool runProcess(const std::string& program, const std::vector<std::string>& arguments,
                std::chrono::milliseconds timeout);

}  // namespace vtome::platform::qt
