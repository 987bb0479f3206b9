#include "resources/finding_keys.h"

#include "resources/ids.h"
#include "resources/messages.h"

namespace vtome::resources {

namespace {

namespace mod = platform::modifier;

constexpr Accelerator kFindingKeys[] = {
    {'F', mod::kControl | mod::kShift, ids::kCmdResultsPage},
    {'L', mod::kControl, ids::kCmdContentsFilter},
};

}  // namespace

std::span<const Accelerator> findingKeyTable() { return kFindingKeys; }

}  // namespace vtome::resources
