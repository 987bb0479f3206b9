#include "platform/failure_report.h"

namespace vtome::platform {

void reportFileFailure(Platform& platform, const RuntimeFailure& failure) {
    platform.showMessageBox("vTome", failure.what(), MessageBoxIcon::Exclamation, false, failure.detail());
}

}  // namespace vtome::platform
