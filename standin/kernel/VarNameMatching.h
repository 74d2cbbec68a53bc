#pragma once

// Internal to the stand-in kernel: how variable names are compared. Blanks around a name never
// matter. A name written exactly as in the list leads to its entry; otherwise letter case is
// ignored, but only where that cannot mix two variables: a list that spells a name two ways in
// two entries ("t" and "T") matches neither spelling by case, and a file's name that leads to an
// entry only by case is left unmatched when another name of the same file leads there too.

#include <string>
#include <string_view>
#include <vector>

struct StringList_s;

namespace qelmar::standin {

// A name as it is compared exactly: without the blanks around it; empty for blanks only.
std::string trimmedVarName(std::string_view name);
// The form in which two names are compared regardless of case; empty for a name of blanks only.
std::string normalisedVarName(std::string_view name);

// QelAppVarNameListGetVarOffset without the call bookkeeping, for the kernel's own loops. A text
// of several LF-separated names (a whole entry) leads where its first name that leads anywhere
// does.
int varNameOffset(const StringList_s& list, std::string_view name);

struct VarNameMatch {
    int offset = -1;
    bool exact = false; // false when only case folding found it
};

// Where each of one file's names leads in the list, so that no two variables of the file share
// an entry through case folding.
std::vector<VarNameMatch> matchVarNames(const StringList_s& list, const std::vector<std::string_view>& names);
std::vector<VarNameMatch> matchVarNames(const StringList_s& list, const std::vector<std::string>& names);

} // namespace qelmar::standin
