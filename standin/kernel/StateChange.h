#pragma once

// Internal to the stand-in kernel: every area that changes application state announces it
// here once the change is complete.

#include "host/KernelStateChange.h"

namespace qelmar::standin {

void notifyStateChange(StateChange_e kind);

} // namespace qelmar::standin
