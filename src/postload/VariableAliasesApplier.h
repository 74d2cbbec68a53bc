#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

struct StringList_s;

namespace qelmar::sdk::ui::postload {

// Attaches the names the incoming files offer to the variables of the to-load list through
// alias groups, and remembers for each incoming file which to-load entries already carry one of
// its names, so that no file fills one variable twice.
class VariableAliasesApplier {
public:
    VariableAliasesApplier();
    virtual ~VariableAliasesApplier();
    VariableAliasesApplier(const VariableAliasesApplier&) = delete;
    VariableAliasesApplier& operator=(const VariableAliasesApplier&) = delete;

    // Starts a new record: `existing` is the data set's variable-name list, `incoming` one list
    // of names per incoming file.
    void init(StringList_s* existing, const std::vector<StringList_s*>& incoming);
    // The same with what existingOffsetsOf gives for each incoming file, already computed.
    void init(StringList_s* existing, const std::vector<StringList_s*>& incoming,
              const std::vector<std::vector<int>>& existingOffsets);

    // Attaches every available name that the aliases (or the to-load list itself) lead to an
    // entry the name's file does not fill yet; the attached names leave their available lists.
    // `available` is one list per incoming file, in the order given to init. Returns the names
    // attached.
    std::set<std::string> apply(const std::vector<StringList_s*>& aliases, StringList_s* toLoad,
                                const std::vector<StringList_s*>& available);

    // Whether every selected name (list i holding names of file i) leads to an entry its file
    // does not fill yet. Changes nothing.
    bool selectedVariablesCanBeAliased(const std::vector<StringList_s*>& aliases, StringList_s* toLoad,
                                       const std::vector<StringList_s*>& selection);

    // The entry at the offset counts as filled for every file (a variable added from the files).
    void markAsResolved(int offset);
    // The entries at these offsets lose their attached names; those at or above the data set's
    // variable count leave the to-load list, so the offsets after them move down.
    void markAsUnresolved(const std::set<int>& removedOffsets);

    // Whether file `file` (in the order given to init) already fills the entry at the offset, so
    // that no further name of it may be attached there.
    bool fills(std::size_t file, int offset) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::postload
