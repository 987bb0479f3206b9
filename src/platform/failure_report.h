#pragma once
// A failure about a file that the viewer lives through (a bookmark or a
// note that could not be written, the settings at shutdown): a message box
// with the failure's fixed text, and below it the file and the system's
// reason. Nothing ends.

#include "platform/platform.h"
#include "runtime/failure.h"

namespace vtome::platform {

void reportFileFailure(Platform& platform, const RuntimeFailure& failure);

}  // namespace vtome::platform
