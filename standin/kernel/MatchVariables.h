#pragma once

// Internal to the stand-in kernel: the registered match-variables callback, asked by the load of
// files whose variables differ.

#include "host/KernelVarNames.h"

namespace qelmar::standin {

bool hasMatchVariablesCallback();
// The callback's answer (the caller owns it), or null when it cancelled or none is registered.
StringList_s* matchVariables(StringList_s* existing, StringList_s* const* incoming, long incomingCount);

} // namespace qelmar::standin
