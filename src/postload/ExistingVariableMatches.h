#pragma once

#include "host/KernelStrings.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"
#include "postload/TrimmedName.h"

#include <algorithm>
#include <string>
#include <vector>

namespace qelmar::sdk::ui::postload {

namespace detail {

inline bool entryHoldsExactly(const StringList_s* list, int offset, const char* name) {
    const char* entry = QelUtilStringListGetRawStringPtr(list, offset + 1);
    if (!entry)
        return false;
    const std::string wanted = trimmedName(name);
    const toolbox::StringList names = toolbox::StringList::fromNLString(entry);
    for (long index = 0; index < names.size(); ++index) {
        if (names[index] && trimmedName(names[index]) == wanted)
            return true;
    }
    return false;
}

} // namespace detail

// For each entry of an incoming file, the offset of the existing variable the load fills from it,
// or -1 (also for null entries). The kernel also matches a name written in another letter case,
// but two names of one file never fill one variable: where several lead to the same variable,
// only those written exactly as the variable's names match.
inline std::vector<int> existingOffsetsOf(const StringList_s* existing, const StringList_s* file) {
    const long count = file ? QelUtilStringListGetCount(file) : 0;
    std::vector<int> offsets;
    offsets.reserve(static_cast<std::size_t>(std::max(count, 0L)));
    std::vector<int> namesPerVariable(
        static_cast<std::size_t>(std::max(QelUtilStringListGetCount(existing), 0L)));
    for (long position = 1; position <= count; ++position) {
        const char* name = QelUtilStringListGetRawStringPtr(file, position);
        offsets.push_back(name ? QelAppVarNameListGetVarOffset(existing, name) : -1);
        if (offsets.back() >= 0 && static_cast<std::size_t>(offsets.back()) < namesPerVariable.size())
            ++namesPerVariable[static_cast<std::size_t>(offsets.back())];
    }
    // Only a variable several names lead to needs its names compared, which keeps the common
    // case at one lookup per name.
    for (std::size_t index = 0; index < offsets.size(); ++index) {
        const int offset = offsets[index];
        if (offset >= 0 && static_cast<std::size_t>(offset) < namesPerVariable.size() &&
            namesPerVariable[static_cast<std::size_t>(offset)] > 1 &&
            !detail::entryHoldsExactly(existing, offset,
                                       QelUtilStringListGetRawStringPtr(file, static_cast<long>(index) + 1)))
            offsets[index] = -1;
    }
    return offsets;
}

// existingOffsetsOf for each file, in order: a load asks for them in several places, and at
// hundreds of files of thousands of names each pass costs a lookup per name.
using ExistingOffsetsPerFile = std::vector<std::vector<int>>;

inline ExistingOffsetsPerFile existingOffsetsOfFiles(const StringList_s* existing,
                                                     const std::vector<StringList_s*>& files) {
    ExistingOffsetsPerFile offsets;
    offsets.reserve(files.size());
    for (const StringList_s* file : files)
        offsets.push_back(existingOffsetsOf(existing, file));
    return offsets;
}

} // namespace qelmar::sdk::ui::postload
