#pragma once

// Internal to the stand-in kernel: the registered match-variables callback, asked by the load of
// files whose variables differ.

#include "host/KernelVarNames.h"

#include <string>
#include <vector>

namespace qelmar::standin {

bool hasMatchVariablesCallback();
// The callback's answer (the caller owns it), or null when it cancelled or none is registered.
// `sourceNames` names the existing list first, then each incoming list; the callback can ask for
// them while it runs; without names it gets none.
StringList_s* matchVariables(StringList_s* existing, StringList_s* const* incoming, long incomingCount,
                             const std::vector<std::string>& sourceNames = {});

} // namespace qelmar::standin
