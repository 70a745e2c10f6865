// The case-blind name comparison lives in core, where the CLI's checks use it
// too; the platform code keeps calling it by its env name.
#pragma once

#include "core/fold_case.h"

namespace tailorloft::env {

using tailorloft::EqualsIgnoringCase;
using tailorloft::FoldCase;

}  // namespace tailorloft::env
