#pragma once

#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/RelevanceInterface.h"
#include "propertyframework/SignalConnectionCollection.h"
#include "propertyframework/models/ListModelInterface.h"

#include "postload/VariableNameSimilarity.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct StringList_s;

namespace qelmar::sdk::ui::propertymanager {

// The state and commands of the "Variable Load and Combine" window: the incoming names that
// match no variable yet (available), the variables of the resulting data set (to load), moving
// names between them, combining names with variables and applying an aliases file. Failures
// and refusals are reported in the kernel's message boxes.
class PostLoadOptionsPropertiesManager {
public:
    using Selection = std::set<int>;

    PostLoadOptionsPropertiesManager();
    virtual ~PostLoadOptionsPropertiesManager();
    PostLoadOptionsPropertiesManager(const PostLoadOptionsPropertiesManager&) = delete;
    PostLoadOptionsPropertiesManager& operator=(const PostLoadOptionsPropertiesManager&) = delete;

    dialogs::propertybindings::models::ListModelPtr<int> varsAvailableModel() const;
    dialogs::propertybindings::models::ListModelPtr<int> varsToLoadModel() const;
    PropertyPtr<Selection> selectedVarsAvailable() const;
    PropertyPtr<Selection> selectedVarsToLoad() const;
    PropertyPtr<std::string> filePath() const;
    RelevancePtr addRelevance() const;
    RelevancePtr addAllRelevance() const;
    RelevancePtr removeRelevance() const;

    // The lists are the kernel's and are not freed here; they must outlive the manager's use.
    // False when the set-up failed (the user was told): the lists then still hold parts of the
    // previous load and must not answer this one.
    bool initializeManager(StringList_s* existing, StringList_s* const* incoming, long incomingCount);
    void add();
    void addAll();
    void remove();
    void combine();
    void applyVarAliases();

    // A new list the caller owns and frees with QelUtilStringListDealloc (or hands to a
    // toolbox::StringList): the available names, as the available list shows them; null when
    // the kernel cannot allocate.
    StringList_s* availableVarNames() const;
    // A new list the caller owns, as above: the variables to load; throws std::bad_alloc when
    // the kernel cannot allocate. The match-variables callback passes it on to the kernel, which
    // takes it over.
    StringList_s* varNamesToLoad() const;
    bool unmatchedVarNamesAvailable() const;

    // ---- What a host may add to the window; the plain window uses none of it. ----

    using NameGroups = std::vector<std::vector<std::string>>;

    // Whether Apply also makes the names of different files that share an alias group, and
    // lead to no variable yet, one new variable. False at first.
    PropertyPtr<bool> matchNewVariables() const;
    // The variables to load that the available names probably mean (VariableNameSimilarity),
    // with the alias groups of the aliases file; a pair Combine would refuse because a file
    // offering the name fills that variable already is left out.
    std::vector<postload::NameSuggestion> suggestions() const;
    // What this load combined: each variable to load of several names, then the groups Apply
    // used, each once.
    NameGroups combinationsToSave() const;
    // Writes combinationsToSave into the aliases file at `path`, adding to it when it exists
    // (its lines and comments stay, groups it holds are not repeated). False when nothing was
    // written; the user was told why, and an earlier file is unchanged.
    bool saveAliasesFile(const std::string& path);
    // The lists of the load being matched, as given to initializeManager; the kernel's, borrowed.
    const StringList_s* existingVarNames() const;
    const std::vector<StringList_s*>& incomingVarNames() const;
    // The names of the file (0 = the first incoming list) that match no variable yet; borrowed,
    // valid until the next command. Null for a file the load does not have.
    const StringList_s* availableVarNamesOfFile(std::size_t file) const;
    // Calls `changed` on every change of either list (several times for one command), keeping
    // the connections in `connections`.
    void followListChanges(const std::function<void()>& changed,
                           SignalConnectionCollection& connections) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::propertymanager
