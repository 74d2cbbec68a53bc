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

// Normalised name (lower case, blanks around it removed) -> offset of the first entry it names.
using VarNameIndex = std::unordered_map<std::string, int>;

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
