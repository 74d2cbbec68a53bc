#pragma once

#include <string>
#include <vector>

namespace qelmar::sdk::ui::postload {

// Writes groups of variable names as a variable aliases file that VariableAliasesFileParser
// reads back: the header line, then one group per line, its names joined with ";". A file that
// exists is added to: its lines and comments stay as they are, and a group whose every name
// already stands together in one of its groups is not written again.
class VariableAliasesFileWriter {
public:
    using NameGroups = std::vector<std::vector<std::string>>;

    // The names that cannot be written faithfully: ";" separates names and "#" starts a comment.
    static std::vector<std::string> unwritableNames(const NameGroups& groups);

    // The file's new text: `existingText` (empty for a new file, which then gets the header)
    // followed by the groups of two names or more that `existingGroups` does not hold yet.
    static std::string contents(const std::string& existingText, const NameGroups& existingGroups,
                                const NameGroups& groups);

    // Saves through the kernel's safe write, so a failed write leaves an earlier file whole. False
    // when nothing was written; the user was told why in a message box.
    static bool save(const std::string& path, const NameGroups& groups);
};

} // namespace qelmar::sdk::ui::postload
