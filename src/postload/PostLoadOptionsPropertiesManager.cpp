#include "postload/PostLoadOptionsPropertiesManager.h"

#include "host/KernelMessages.h"
#include "host/KernelStartupFiles.h"
#include "host/KernelString.h"
#include "host/KernelStrings.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"
#include "host/StringListWithHeadersModel.h"
#include "postload/AvailableVariablesListModel.h"
#include "postload/ExistingVariableMatches.h"
#include "postload/TrimmedName.h"
#include "postload/VariableAliasesApplier.h"
#include "postload/VariableAliasesFileParser.h"
#include "postload/VariableAliasesFileWriter.h"
#include "postload/VariablesInformationRepository.h"
#include "postload/VariablesToLoadStringListModel.h"
#include "propertyframework/Property.h"
#include "propertyframework/PropertyPredicateDependentRelevance.h"

#include <QCoreApplication>

#include <cstdio>
#include <new>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace qelmar::sdk::ui::propertymanager {

using dialogs::propertybindings::models::ListModelPtr;
using postload::AvailableVariablesListModel;
using postload::trimmedName;
using postload::trimmedNameView;
using postload::VariableAliasesApplier;
using postload::VariableAliasesFileParser;
using postload::VariableAliasesFileWriter;
using postload::VariablesInformationRepository;
using postload::VariablesToLoadStringListModel;

namespace {

using toolbox::adoptNewList;
using KernelList = toolbox::StringList;

KernelList newList() {
    return adoptNewList(QelUtilStringListAlloc());
}

KernelList copyOf(const StringList_s* list) {
    return adoptNewList(QelUtilStringListCopy(list));
}

void append(StringList_s* list, const char* text) {
    if (!QelUtilStringListAppendString(list, text))
        throw std::bad_alloc();
}

long countOf(const StringList_s* list) {
    return list ? QelUtilStringListGetCount(list) : 0;
}

const char* entryAt(const StringList_s* list, long position) {
    return QelUtilStringListGetRawStringPtr(list, position);
}

// The LF-separated names of a to-load entry.
std::vector<std::string> namesOf(const std::string& entry) {
    std::vector<std::string> names;
    const KernelList split = KernelList::fromNLString(entry.c_str());
    for (long index = 0; index < split.size(); ++index) {
        if (const char* name = split[index])
            names.emplace_back(name);
    }
    return names;
}

// Whether an entry of the list holds the name as written (blanks around it aside). The kernel
// also takes other letter cases of a name it knows; where one name stands for one of the files'
// variables, as in the available lists, "t" must not find "T".
bool hasExactName(const StringList_s* list, const std::string& name) {
    const int offset = QelAppVarNameListGetVarOffset(list, name.c_str());
    const char* entry = offset == -1 ? nullptr : entryAt(list, offset + 1);
    if (!entry)
        return false;
    const std::string wanted = trimmedName(name);
    for (const std::string& held : namesOf(entry)) {
        if (trimmedName(held) == wanted)
            return true;
    }
    return false;
}

// The names a list holds as written (blanks around them aside), each LF-separated name of an
// entry on its own: hasExactName for many names at one hash lookup each. The views are into the
// list's entries, so the list must not change while the set is used.
class ExactNames {
public:
    explicit ExactNames(const StringList_s* list) {
        const long count = countOf(list);
        m_names.reserve(static_cast<std::size_t>(std::max(count, 0L)));
        for (long position = 1; position <= count; ++position) {
            const char* entry = entryAt(list, position);
            if (!entry)
                continue;
            std::string_view text(entry);
            for (std::size_t start = 0;;) {
                const std::size_t end = text.find('\n', start);
                m_names.insert(
                    trimmedNameView(text.substr(start, end == std::string_view::npos ? end : end - start)));
                if (end == std::string_view::npos)
                    break;
                start = end + 1;
            }
        }
    }

    bool has(std::string_view name) const { return m_names.count(trimmedNameView(name)) != 0; }

private:
    std::unordered_set<std::string_view> m_names;
};

std::string tr(const char* text) {
    return QCoreApplication::translate("PostLoadOptionsPropertiesManager", text).toStdString();
}

void tellUser(const char* text) {
    QelUtilDialogMessageBox(tr(text).c_str(), MessageBox_Information);
}

// False when the command failed; the user has then been told why.
template <typename Command> bool reportingFailures(const char* prefix, Command command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        QelUtilDialogErrMsg((tr(prefix) + error.what()).c_str());
        return false;
    }
}

} // namespace

struct PostLoadOptionsPropertiesManager::Impl {
    using SelectionProperty = Property<Selection>;

    StringList_s* existingVarNames = nullptr;
    std::vector<StringList_s*> incomingVarNames;
    std::shared_ptr<AvailableVariablesListModel> varsAvailableModel =
        std::make_shared<AvailableVariablesListModel>();
    std::shared_ptr<SelectionProperty> selectedVarsAvailable = std::make_shared<SelectionProperty>();
    // Only keeps a reference to the repository below, which it reads once there is content.
    std::shared_ptr<VariablesToLoadStringListModel> varsToLoadModel =
        std::make_shared<VariablesToLoadStringListModel>(variablesInformation);
    std::shared_ptr<SelectionProperty> selectedVarsToLoad = std::make_shared<SelectionProperty>();
    std::vector<KernelList> availableVarNamesPerFile;
    std::shared_ptr<Property<std::string>> filePath =
        std::make_shared<Property<std::string>>(VariableAliasesFileParser::locateVariableAliasesFilePath());
    // A copy of the available names whose every change re-evaluates the Add All relevance; null
    // while there are none.
    std::shared_ptr<Property<std::shared_ptr<const KernelList>>> availableVarNamesList =
        std::make_shared<Property<std::shared_ptr<const KernelList>>>();
    RelevancePtr addRelevance;
    RelevancePtr addAllRelevance;
    RelevancePtr removeRelevance;
    VariablesInformationRepository variablesInformation;
    VariableAliasesApplier aliasesApplier;
    Impl() {
        addRelevance = std::make_shared<PropertyPredicateDependentRelevance>(
            selectedVarsAvailable, [this] { return !selectedVarsAvailable->retrieveValue().empty(); });
        addAllRelevance = std::make_shared<PropertyPredicateDependentRelevance>(
            availableVarNamesList, [this] { return varsAvailableModel->size() > 0; });
        removeRelevance = std::make_shared<PropertyPredicateDependentRelevance>(
            selectedVarsToLoad, [this] { return !selectedVarsToLoad->retrieveValue().empty(); });
    }

    // Entries equal byte for byte to an earlier one go; null entries keep their places. The
    // result is built anew rather than by removals, each of which would move the rest of a
    // long list.
    static KernelList removeDuplicateVarNames(const StringList_s* list) {
        KernelList unique = newList();
        // Views into `list`, which does not change meanwhile.
        std::unordered_set<std::string_view> seen;
        for (long position = 1; position <= countOf(list); ++position) {
            const char* entry = entryAt(list, position);
            if (!entry || seen.insert(entry).second)
                append(unique.getRef(), entry);
        }
        return unique;
    }

    // For each file, the variables of the default merge that only the incoming files have and
    // that this file provides, in the merge's order.
    std::vector<KernelList>
    calculateAvailableVarNames(StringList_s* existing, StringList_s* const* incoming, long incomingCount,
                               const postload::ExistingOffsetsPerFile& inExisting) const {
        std::vector<KernelList> perFile;
        // A merge the kernel could not make (null) stands in as an empty list: nothing is new.
        const KernelList merged(QelAppVarNameListCreateDefault(existing, incoming, incomingCount, 1));
        const bool nothingNew = merged.size() <= countOf(existing);
        for (long file = 0; file < incomingCount; ++file)
            perFile.push_back(nothingNew ? newList()
                                         : namesOnlyFromFiles(merged.getRef(), existing, incoming[file],
                                                              inExisting[static_cast<std::size_t>(file)]));
        return perFile;
    }

    // Looking each of the file's names up in the merge finds the same entries as looking every
    // new entry of the merge up in the file, at one lookup per name of the file rather than one
    // per name of every file; at tens of files of thousands of names that is what keeps the
    // window quick to open.
    // A name the file spells two ways is new although the data set has it in another case, so
    // whether a name is new is decided against the data set, for this file.
    static KernelList namesOnlyFromFiles(const StringList_s* merged, const StringList_s* existing,
                                         const StringList_s* file, const std::vector<int>& inExisting) {
        const long existingCount = countOf(existing);
        std::set<int> offsets;
        for (long position = 1; position <= countOf(file); ++position) {
            const char* name = entryAt(file, position);
            if (!name || inExisting[static_cast<std::size_t>(position - 1)] != -1)
                continue;
            const int offset = QelAppVarNameListGetVarOffset(merged, name);
            if (offset >= existingCount)
                offsets.insert(offset);
        }
        KernelList names = newList();
        for (const int offset : offsets) {
            if (const char* entry = entryAt(merged, offset + 1))
                append(names.getRef(), entry);
        }
        return names;
    }

    // The files' lists one after the other, as removeDuplicateVarNames leaves their
    // concatenation, without making the concatenation first.
    static KernelList uniqueEntriesOf(const std::vector<KernelList>& lists) {
        KernelList unique = newList();
        // Views into the files' lists, which do not change meanwhile.
        std::unordered_set<std::string_view> seen;
        for (const KernelList& list : lists) {
            for (long position = 1; position <= countOf(list.getRef()); ++position) {
                const char* entry = entryAt(list.getRef(), position);
                if (!entry || seen.insert(entry).second)
                    append(unique.getRef(), entry);
            }
        }
        return unique;
    }

    void setAvailableVarNames() {
        varsAvailableModel->setValues(uniqueEntriesOf(availableVarNamesPerFile).getRef());

        std::shared_ptr<const KernelList> copy;
        if (varsAvailableModel->size() > 0)
            copy = std::make_shared<const KernelList>(adoptNewList(varsAvailableModel->getStringList()));
        availableVarNamesList->setValue(std::move(copy));
    }

    void addVariablesToLoad(const std::vector<std::string>& names) {
        if (names.empty())
            return;
        const int firstRow = varsToLoadModel->size();
        for (std::size_t k = 0; k < names.size(); ++k) {
            variablesInformation.setNew(names[k]);
            aliasesApplier.markAsResolved(firstRow + static_cast<int>(k));
        }
        varsToLoadModel->append(names);
        removeFromAvailableLists(names);
        setAvailableVarNames();
    }

    // Each file's list that holds an added name is rebuilt once without them, instead of one
    // removal (and one renewed lookup) per name; at hundreds of files most hold none of them.
    void removeFromAvailableLists(const std::vector<std::string>& names) {
        KernelList added = newList();
        for (const std::string& name : names)
            append(added.getRef(), name.c_str());
        const ExactNames addedNames(added.getRef());
        for (KernelList& list : availableVarNamesPerFile) {
            if (!holdsAnyOf(list.getRef(), addedNames))
                continue;
            KernelList kept = newList();
            for (long position = 1; position <= countOf(list.getRef()); ++position) {
                const char* name = entryAt(list.getRef(), position);
                if (name && !addedNames.has(name))
                    append(kept.getRef(), name);
            }
            list = std::move(kept);
        }
    }

    static bool holdsAnyOf(const StringList_s* list, const ExactNames& names) {
        for (long position = 1; position <= countOf(list); ++position) {
            const char* name = entryAt(list, position);
            if (name && names.has(name))
                return true;
        }
        return false;
    }

    bool isRemovableEntry(const std::string& entry) const {
        for (const std::string& name : namesOf(entry)) {
            if (!variablesInformation.isRemovable(name))
                return false;
        }
        return true;
    }

    // Rows count the entries the model shows; the kernel's list also holds null entries, which
    // keep their places for the kernel.
    static std::vector<long> positionsOfRows(const StringList_s* list) {
        std::vector<long> positions;
        for (long position = 1; position <= countOf(list); ++position) {
            if (entryAt(list, position))
                positions.push_back(position);
        }
        return positions;
    }

    // A selection may still name rows that a change of the list has just taken away.
    static Selection existingRows(const Selection& rows, int rowCount) {
        return Selection(rows.lower_bound(0), rows.lower_bound(rowCount));
    }

    void addSelected() {
        std::vector<std::string> names;
        for (const int row : existingRows(selectedVarsAvailable->retrieveValue(), varsAvailableModel->size()))
            names.push_back(varsAvailableModel->getName(row));
        selectedVarsAvailable->setValue({});
        addVariablesToLoad(names);
    }

    void remove() {
        const Selection rows = existingRows(selectedVarsToLoad->retrieveValue(), varsToLoadModel->size());
        Selection removable;
        std::vector<std::string> namesToRestore;
        for (const int row : rows) {
            const std::string entry = varsToLoadModel->getRawStr(row);
            if (!isRemovableEntry(entry))
                continue;
            removable.insert(row);
            for (std::string& name : namesOf(entry))
                namesToRestore.push_back(std::move(name));
        }

        KernelList toLoad = adoptNewList(varsToLoadModel->getStringList());
        const KernelList snapshot = copyOf(toLoad.getRef());
        const std::vector<long> positions = positionsOfRows(toLoad.getRef());
        bool keptExistingNames = false;
        for (const int row : rows) {
            if (removable.count(row) || static_cast<std::size_t>(row) >= positions.size())
                continue;
            keptExistingNames |= detachNewNames(toLoad.getRef(), positions[row], namesToRestore);
        }
        for (auto row = removable.rbegin(); row != removable.rend(); ++row) {
            if (static_cast<std::size_t>(*row) < positions.size())
                QelUtilStringListRemoveString(toLoad.getRef(), positions[*row]);
        }
        varsToLoadModel->setValues(toLoad.getRef());
        selectedVarsToLoad->setValue({});

        if (keptExistingNames)
            tellUser(
                "Variables belonging to the existing dataset cannot be removed from the 'Variables to load' "
                "list. Variables that do not yet belong to the existing dataset have been moved back to "
                "the 'Available variables' list.");
        restoreVarNamesToAllIncomingFiles(namesToRestore);

        std::set<int> offsets;
        for (const std::string& name : namesToRestore)
            offsets.insert(QelAppVarNameListGetVarOffset(snapshot.getRef(), name.c_str()));
        aliasesApplier.markAsUnresolved(offsets);
    }

    // Strips an existing variable's entry of the names attached to it from the files. Returns
    // whether the entry holds a name of the data set, which stays.
    bool detachNewNames(StringList_s* toLoad, long position, std::vector<std::string>& namesToRestore) const {
        const char* text = entryAt(toLoad, position);
        if (!text)
            return false;
        KernelList remaining = newList();
        bool holdsExistingName = false;
        for (std::string& name : namesOf(text)) {
            if (hasExactName(existingVarNames, name)) {
                holdsExistingName = true;
                append(remaining.getRef(), name.c_str());
            } else {
                namesToRestore.push_back(std::move(name));
            }
        }
        const KernelString joined(QelUtilStringListToNLString(remaining.getRef()));
        if (!QelUtilStringListSetString(toLoad, position, joined.c_str()))
            throw std::bad_alloc();
        return holdsExistingName;
    }

    // A restored name goes back only to the files that have it, at its place in the file.
    void restoreVarNamesToAllIncomingFiles(const std::vector<std::string>& names) {
        const std::unordered_set<std::string_view> restored(names.begin(), names.end());
        for (std::size_t file = 0; file < availableVarNamesPerFile.size() && file < incomingVarNames.size();
             ++file) {
            KernelList& available = availableVarNamesPerFile[file];
            const StringList_s* incoming = incomingVarNames[file];
            const ExactNames availableNames(available.getRef());
            KernelList rebuilt = newList();
            for (long position = 1; position <= countOf(incoming); ++position) {
                const char* name = entryAt(incoming, position);
                if (!name || restored.count(name) || availableNames.has(name))
                    append(rebuilt.getRef(), name);
            }
            available = std::move(rebuilt);
        }
        setAvailableVarNames();
    }

    void combine() {
        const Selection available =
            existingRows(selectedVarsAvailable->retrieveValue(), varsAvailableModel->size());
        const Selection toLoad = existingRows(selectedVarsToLoad->retrieveValue(), varsToLoadModel->size());
        if (available.empty() || available.size() != toLoad.size()) {
            tellUser("Must have equal numbers of selections in both lists.");
            return;
        }
        std::vector<KernelList> groups;
        auto toLoadRow = toLoad.begin();
        for (const int row : available) {
            KernelList group = newList();
            append(group.getRef(), varsAvailableModel->getName(row).c_str());
            append(group.getRef(), varsToLoadModel->getRawStr(*toLoadRow++).c_str());
            groups.push_back(std::move(group));
        }
        std::vector<StringList_s*> handles;
        for (const KernelList& group : groups)
            handles.push_back(group.getRef());

        if (selectedVariablesCanBeCombined(handles, available)) {
            applyVarAliases(handles);
            selectedVarsAvailable->setValue({});
            selectedVarsToLoad->setValue({});
        } else {
            tellUser("Variables that were already auto-combined or variables that belong to the same dataset "
                     "cannot be combined.");
        }
    }

    // A name several files offer is listed once; it is checked against each of those files, so
    // that no file ends up filling one variable twice.
    bool selectedVariablesCanBeCombined(const std::vector<StringList_s*>& groups, const Selection& rows) {
        std::vector<KernelList> selectedPerFile;
        for (const KernelList& fileNames : availableVarNamesPerFile) {
            const ExactNames namesOfFile(fileNames.getRef());
            KernelList selected = newList();
            for (const int row : rows) {
                const std::string name = varsAvailableModel->getName(row);
                if (namesOfFile.has(name))
                    append(selected.getRef(), name.c_str());
            }
            selectedPerFile.push_back(std::move(selected));
        }
        std::vector<StringList_s*> selection;
        for (const KernelList& list : selectedPerFile)
            selection.push_back(list.getRef());
        const KernelList toLoad = adoptNewList(varsToLoadModel->getStringList());
        return aliasesApplier.selectedVariablesCanBeAliased(groups, toLoad.getRef(), selection);
    }

    void applyVarAliases(const std::vector<StringList_s*>& groups) {
        const KernelList toLoad = adoptNewList(varsToLoadModel->getStringList());
        std::vector<StringList_s*> available;
        for (const KernelList& names : availableVarNamesPerFile)
            available.push_back(names.getRef());
        for (const std::string& name : aliasesApplier.apply(groups, toLoad.getRef(), available))
            variablesInformation.setCombined(name);
        setAvailableVarNames();
        varsToLoadModel->setValues(removeDuplicateVarNames(toLoad.getRef()).getRef());
    }

    // ---- Additions a host switches on ----

    std::shared_ptr<Property<bool>> matchNewVariables = std::make_shared<Property<bool>>(false);
    // The groups Apply used during this load, for saving them with the load's combinations.
    NameGroups appliedGroups;
    // The aliases file's groups as suggestions use them, read again when the path changes.
    std::string suggestionAliasesPath;
    NameGroups suggestionAliasGroups;
    bool suggestionAliasesRead = false;

    static NameGroups namesOfGroups(const std::vector<StringList_s*>& groups) {
        NameGroups result;
        for (const StringList_s* group : groups) {
            std::vector<std::string>& names = result.emplace_back();
            for (long position = 1; position <= countOf(group); ++position)
                if (const char* name = entryAt(group, position))
                    names.emplace_back(name);
        }
        return result;
    }

    void rememberAppliedGroups(const std::vector<StringList_s*>& groups) {
        for (std::vector<std::string>& group : namesOfGroups(groups))
            appliedGroups.push_back(std::move(group));
    }

    // Suggestions are refreshed after every command, so a file that is missing or not an aliases
    // file must not raise the parser's message each time: it is checked quietly first, and
    // offers no groups until Apply reports it.
    const NameGroups& aliasGroupsForSuggestions() {
        const std::string& path = filePath->retrieveValue();
        if (suggestionAliasesRead && path == suggestionAliasesPath)
            return suggestionAliasGroups;
        suggestionAliasesPath = path;
        suggestionAliasesRead = true;
        suggestionAliasGroups.clear();
        int version = 0;
        std::FILE* file = QelAppStartupFileOpen("Variable Aliases", path.c_str(), "VA", &version, 1);
        if (!file)
            return suggestionAliasGroups;
        std::fclose(file);
        if (version == 1) {
            VariableAliasesFileParser parser(path);
            suggestionAliasGroups = namesOfGroups(parser.aliasesList());
        }
        return suggestionAliasGroups;
    }

    std::vector<postload::NameSuggestion> suggestions() {
        std::vector<std::string> available;
        for (int row = 0; row < varsAvailableModel->size(); ++row)
            available.push_back(varsAvailableModel->getName(row));
        if (available.empty())
            return {};
        std::vector<std::string> entries;
        for (int row = 0; row < varsToLoadModel->size(); ++row)
            entries.push_back(varsToLoadModel->getRawStr(row));
        std::vector<postload::NameSuggestion> found =
            postload::suggestVariableMatches(available, entries, aliasGroupsForSuggestions());
        if (found.empty())
            return found;

        // Only the suggested names are looked for in the files' lists.
        std::unordered_map<std::string, std::vector<std::size_t>> filesOfName;
        for (const postload::NameSuggestion& suggestion : found)
            filesOfName[available[static_cast<std::size_t>(suggestion.availableRow)]];
        for (std::size_t file = 0; file < availableVarNamesPerFile.size(); ++file) {
            const StringList_s* names = availableVarNamesPerFile[file].getRef();
            for (long position = 1; position <= countOf(names); ++position) {
                const char* name = entryAt(names, position);
                const auto files = name ? filesOfName.find(name) : filesOfName.end();
                if (files != filesOfName.end())
                    files->second.push_back(file);
            }
        }
        const KernelList toLoad = adoptNewList(varsToLoadModel->getStringList());
        const std::vector<long> positions = positionsOfRows(toLoad.getRef());
        std::vector<postload::NameSuggestion> offered;
        for (const postload::NameSuggestion& suggestion : found) {
            const std::string& name = available[static_cast<std::size_t>(suggestion.availableRow)];
            const int offset =
                static_cast<int>(positions.at(static_cast<std::size_t>(suggestion.toLoadRow))) - 1;
            if (combineWouldTake(toLoad.getRef(), name, offset, filesOfName[name]))
                offered.push_back(suggestion);
        }
        return offered;
    }

    // What Combine checks, for one pair: the name leads to that entry, and no file offering
    // the name fills the entry already.
    bool combineWouldTake(const StringList_s* toLoad, const std::string& name, int offset,
                          const std::vector<std::size_t>& files) const {
        const int byName = QelAppVarNameListGetVarOffset(toLoad, name.c_str());
        if (byName != -1 && byName != offset)
            return false;
        for (const std::size_t file : files)
            if (aliasesApplier.fills(file, offset))
                return false;
        return true;
    }

    NameGroups combinationsToSave() const {
        NameGroups groups;
        for (int row = 0; row < varsToLoadModel->size(); ++row) {
            std::vector<std::string> names = namesOf(varsToLoadModel->getRawStr(row));
            if (names.size() > 1)
                groups.push_back(std::move(names));
        }
        groups.insert(groups.end(), appliedGroups.begin(), appliedGroups.end());
        return groups;
    }

    // Names of different files that one group holds, and that lead to no variable to load,
    // become one new variable: in the order of the files, the first name of each file, or the
    // name an earlier file gave, so that a file fills the variable once.
    void joinNewVariablesByAliases(const std::vector<StringList_s*>& groups) {
        KernelList toLoad = adoptNewList(varsToLoadModel->getStringList());
        for (const StringList_s* group : groups) {
            if (groupLeadsToAnEntry(toLoad.getRef(), group))
                continue;
            std::vector<std::pair<std::size_t, std::string>> contributions;
            std::vector<std::string> names;
            for (std::size_t file = 0; file < availableVarNamesPerFile.size(); ++file) {
                const std::string name = nameOfGroupIn(availableVarNamesPerFile[file].getRef(), group, names);
                if (name.empty())
                    continue;
                contributions.emplace_back(file, name);
                if (std::find(names.begin(), names.end(), name) == names.end())
                    names.push_back(name);
            }
            if (names.size() < 2)
                continue;
            addJoinedVariable(toLoad.getRef(), names, contributions);
        }
        setAvailableVarNames();
    }

    static bool groupLeadsToAnEntry(const StringList_s* toLoad, const StringList_s* group) {
        for (long position = 1; position <= countOf(group); ++position) {
            const char* member = entryAt(group, position);
            if (member && QelAppVarNameListGetVarOffset(toLoad, member) != -1)
                return true;
        }
        return false;
    }

    static std::string nameOfGroupIn(const StringList_s* available, const StringList_s* group,
                                     const std::vector<std::string>& preferred) {
        std::string first;
        for (long position = 1; position <= countOf(available); ++position) {
            const char* text = entryAt(available, position);
            if (!text)
                continue;
            const std::string name = trimmedName(text);
            if (name.empty() || QelAppVarNameListGetVarOffset(group, name.c_str()) == -1)
                continue;
            if (std::find(preferred.begin(), preferred.end(), name) != preferred.end())
                return name;
            if (first.empty())
                first = name;
        }
        return first;
    }

    void addJoinedVariable(StringList_s* toLoad, const std::vector<std::string>& names,
                           const std::vector<std::pair<std::size_t, std::string>>& contributions) {
        variablesInformation.setNew(names.front());
        for (std::size_t k = 1; k < names.size(); ++k)
            variablesInformation.setCombined(names[k]);
        aliasesApplier.markAsResolved(varsToLoadModel->size());
        std::string entry;
        for (const std::string& name : names)
            entry += (entry.empty() ? "" : "\n") + name;
        varsToLoadModel->append(entry);
        append(toLoad, entry.c_str());
        for (const auto& [file, name] : contributions) {
            KernelList& list = availableVarNamesPerFile[file];
            KernelList kept = newList();
            for (long position = 1; position <= countOf(list.getRef()); ++position) {
                const char* text = entryAt(list.getRef(), position);
                if (text && trimmedName(text) != name)
                    append(kept.getRef(), text);
            }
            list = std::move(kept);
        }
    }
};

PostLoadOptionsPropertiesManager::PostLoadOptionsPropertiesManager()
    : m_impl(std::make_unique<Impl>()) {}

PostLoadOptionsPropertiesManager::~PostLoadOptionsPropertiesManager() = default;

ListModelPtr<int> PostLoadOptionsPropertiesManager::varsAvailableModel() const {
    return m_impl->varsAvailableModel;
}

ListModelPtr<int> PostLoadOptionsPropertiesManager::varsToLoadModel() const {
    return m_impl->varsToLoadModel;
}

PropertyPtr<PostLoadOptionsPropertiesManager::Selection>
PostLoadOptionsPropertiesManager::selectedVarsAvailable() const {
    return m_impl->selectedVarsAvailable;
}

PropertyPtr<PostLoadOptionsPropertiesManager::Selection>
PostLoadOptionsPropertiesManager::selectedVarsToLoad() const {
    return m_impl->selectedVarsToLoad;
}

PropertyPtr<std::string> PostLoadOptionsPropertiesManager::filePath() const {
    return m_impl->filePath;
}

RelevancePtr PostLoadOptionsPropertiesManager::addRelevance() const {
    return m_impl->addRelevance;
}

RelevancePtr PostLoadOptionsPropertiesManager::addAllRelevance() const {
    return m_impl->addAllRelevance;
}

RelevancePtr PostLoadOptionsPropertiesManager::removeRelevance() const {
    return m_impl->removeRelevance;
}

bool PostLoadOptionsPropertiesManager::initializeManager(StringList_s* existing,
                                                         StringList_s* const* incoming, long incomingCount) {
    return reportingFailures(
        "An error occurred while determining how to append variable names to the current dataset: ", [&] {
            Impl& d = *m_impl;
            d.existingVarNames = existing;
            d.incomingVarNames.assign(incoming, incoming + std::max(incomingCount, 0L));
            // Rows picked during an earlier load mean nothing in this one.
            d.selectedVarsAvailable->setValue({});
            d.selectedVarsToLoad->setValue({});
            // Where each incoming name falls in the data set, asked once for the three uses below.
            const postload::ExistingOffsetsPerFile inExisting =
                postload::existingOffsetsOfFiles(existing, d.incomingVarNames);
            d.variablesInformation.init(existing, d.incomingVarNames, inExisting);
            d.varsToLoadModel->setExistingDatasetVarNames(existing);
            d.availableVarNamesPerFile =
                d.calculateAvailableVarNames(existing, incoming, incomingCount, inExisting);
            d.aliasesApplier.init(existing, d.incomingVarNames, inExisting);
            d.varsToLoadModel->setValues(Impl::removeDuplicateVarNames(existing).getRef());
            d.setAvailableVarNames();
            d.appliedGroups.clear();
        });
}

void PostLoadOptionsPropertiesManager::add() {
    reportingFailures("An error occurred while adding selected values to the variables to load list: ",
                      [this] { m_impl->addSelected(); });
}

void PostLoadOptionsPropertiesManager::addAll() {
    reportingFailures("An error occurred while adding all values to the variables to load list: ", [this] {
        Impl& d = *m_impl;
        d.selectedVarsAvailable->setValue({});
        d.addVariablesToLoad(d.varsAvailableModel->strings());
    });
}

void PostLoadOptionsPropertiesManager::remove() {
    reportingFailures("An error occurred while removing selected values from the variables to load list: ",
                      [this] { m_impl->remove(); });
}

void PostLoadOptionsPropertiesManager::combine() {
    reportingFailures("An error occurred while combining values: ", [this] { m_impl->combine(); });
}

void PostLoadOptionsPropertiesManager::applyVarAliases() {
    // The parser shows its own message for a file it cannot read and then offers no groups.
    VariableAliasesFileParser parser(m_impl->filePath->retrieveValue());
    reportingFailures("An error occurred while applying the variable names aliases: ", [&] {
        m_impl->applyVarAliases(parser.aliasesList());
        m_impl->rememberAppliedGroups(parser.aliasesList());
        if (m_impl->matchNewVariables->retrieveValue())
            m_impl->joinNewVariablesByAliases(parser.aliasesList());
    });
}

StringList_s* PostLoadOptionsPropertiesManager::availableVarNames() const {
    return m_impl->varsAvailableModel->getStringList();
}

StringList_s* PostLoadOptionsPropertiesManager::varNamesToLoad() const {
    return m_impl->varsToLoadModel->getStringList();
}

bool PostLoadOptionsPropertiesManager::unmatchedVarNamesAvailable() const {
    return m_impl->varsAvailableModel->size() > 0;
}

PropertyPtr<bool> PostLoadOptionsPropertiesManager::matchNewVariables() const {
    return m_impl->matchNewVariables;
}

std::vector<postload::NameSuggestion> PostLoadOptionsPropertiesManager::suggestions() const {
    std::vector<postload::NameSuggestion> found;
    reportingFailures("An error occurred while suggesting variables to combine: ",
                      [&] { found = m_impl->suggestions(); });
    return found;
}

PostLoadOptionsPropertiesManager::NameGroups PostLoadOptionsPropertiesManager::combinationsToSave() const {
    return m_impl->combinationsToSave();
}

bool PostLoadOptionsPropertiesManager::saveAliasesFile(const std::string& path) {
    bool saved = false;
    reportingFailures("An error occurred while saving the variable names aliases: ", [&] {
        const NameGroups groups = m_impl->combinationsToSave();
        if (groups.empty()) {
            tellUser("This load combined no variables yet, so there is nothing to save as aliases.");
            return;
        }
        saved = VariableAliasesFileWriter::save(path, groups);
        // The file may be the one suggestions read.
        m_impl->suggestionAliasesRead = false;
    });
    return saved;
}

const StringList_s* PostLoadOptionsPropertiesManager::existingVarNames() const {
    return m_impl->existingVarNames;
}

const std::vector<StringList_s*>& PostLoadOptionsPropertiesManager::incomingVarNames() const {
    return m_impl->incomingVarNames;
}

const StringList_s* PostLoadOptionsPropertiesManager::availableVarNamesOfFile(std::size_t file) const {
    const std::vector<KernelList>& perFile = m_impl->availableVarNamesPerFile;
    return file < perFile.size() ? perFile[file].getRef() : nullptr;
}

void PostLoadOptionsPropertiesManager::followListChanges(const std::function<void()>& changed,
                                                         SignalConnectionCollection& connections) const {
    for (const auto& model : {varsToLoadModel(), varsAvailableModel()}) {
        connections.add(model->connectToDataChangedSignal(changed));
        connections.add(model->connectToItemChangedSignal([changed](int) { changed(); }));
        connections.add(model->connectToItemsInsertedSignal([changed](int, int) { changed(); }));
        connections.add(model->connectToItemsRemovedSignal([changed](int, int) { changed(); }));
    }
}

} // namespace qelmar::sdk::ui::propertymanager
