#pragma once

// Internal to the stand-in kernel: how variable names are compared. Letter case and blanks
// around a name do not matter, so "Pressure " and "pressure" name the same variable.

#include <string>
#include <string_view>

struct StringList_s;

namespace qelmar::standin {

// The form in which two names are compared; empty for a name of blanks only.
std::string normalisedVarName(std::string_view name);

// QelAppVarNameListGetVarOffset without the call bookkeeping, for the kernel's own loops.
int varNameOffset(const StringList_s& list, std::string_view name);

} // namespace qelmar::standin
