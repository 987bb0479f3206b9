#pragma once
// The keys of the finding panes (the results list and the contents filter):
// a table of their own, consulted after the fixed accelerator table, which
// keeps its sixteen entries.

#include <span>

#include "resources/menu.h"

namespace vtome::resources {

std::span<const Accelerator> findingKeyTable();

}  // namespace vtome::resources
