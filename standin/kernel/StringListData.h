#pragma once

// Internal to the stand-in kernel: what a kernel string list holds. Variable-name lookups keep
// an index of the list's names beside the entries; every change of the entries drops it, and the
// next lookup builds it again.

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace qelmar::standin {

// Where each name of a variable-name list leads. A name is looked up as written (blanks around
// it removed) first; its case-folded form leads somewhere only while the list spells that form
// one way, so "t" and "T" of two entries never stand in for each other.
struct VarNameIndex {
    struct Folded {
        int offset = -1;
        std::string spelling; // the first spelling met, to notice a second one
        bool ambiguous = false;
    };
    std::unordered_map<std::string, int> exact;     // trimmed name -> first entry holding it
    std::unordered_map<std::string, Folded> folded; // normalised name -> its entry, if unambiguous
};

} // namespace qelmar::standin

struct StringList_s {
    StringList_s() = default;
    // A copy starts without an index: most copies are never searched.
    StringList_s(const StringList_s& other)
        : strings(other.strings) {}
    StringList_s& operator=(const StringList_s&) = delete;

    std::vector<std::optional<std::string>> strings;
    mutable std::unique_ptr<qelmar::standin::VarNameIndex> varNameIndex;

    void changed() { varNameIndex.reset(); }
};
