#include "kernel/VariableFilling.h"

#include "kernel/VarNameMatching.h"

#include <map>

namespace qelmar::standin {

using qelmar::toolbox::StringList;

namespace {

// Names as compared exactly -> the first position holding that name.
std::map<std::string, std::size_t> positionsOf(const VariableNames& names) {
    std::map<std::string, std::size_t> positions;
    for (std::size_t position = 0; position < names.size(); ++position)
        positions.emplace(trimmedVarName(names[position]), position);
    return positions;
}

// An entry is called by its first name that is more than blanks; empty when it has none.
std::string variableNameOf(const char* entry) {
    if (!entry)
        return {};
    const StringList names = StringList::fromNLString(entry);
    for (long name = 0; name < names.size(); ++name) {
        if (!trimmedVarName(names.get(name)).empty())
            return names.get(name);
    }
    return {};
}

VariableNames namesOfEntry(const char* entry) {
    const StringList names = StringList::fromNLString(entry);
    VariableNames split;
    for (long name = 0; name < names.size(); ++name)
        split.push_back(names.get(name));
    return split;
}

} // namespace

StringList listOf(const VariableNames& names) {
    StringList list;
    for (const std::string& name : names)
        list.append(name);
    return list;
}

Variables variablesNamed(const VariableNames& names) {
    Variables variables{listOf(names), names, names, listOf(names), {}};
    for (const std::string& name : names)
        variables.entryNames.push_back(namesOfEntry(name.c_str()));
    return variables;
}

std::vector<long> namedEntryPositions(const StringList& answer) {
    std::vector<long> positions;
    for (long index = 0; index < answer.size(); ++index) {
        if (!variableNameOf(answer[index]).empty())
            positions.push_back(index);
    }
    return positions;
}

Variables variablesOf(const StringList& answer, const VariableNames& existing) {
    Variables variables;
    variables.existingNames = existing;
    variables.existing = listOf(existing);
    for (const long index : namedEntryPositions(answer)) {
        variables.entries.append(answer[index]);
        variables.entryNames.push_back(namesOfEntry(answer[index]));
        variables.names.push_back(variableNameOf(answer[index]));
    }
    return variables;
}

std::vector<int> sourcesOf(const Variables& variables, const VariableNames& own) {
    const std::map<std::string, std::size_t> ownPositions = positionsOf(own);
    const std::map<std::string, std::size_t> existingPositions = positionsOf(variables.existingNames);
    std::map<std::size_t, int> otherSpellings; // existing variable -> own variable
    const std::vector<VarNameMatch> inExisting = matchVarNames(*variables.existing.getRef(), own);
    for (std::size_t name = 0; name < inExisting.size(); ++name) {
        if (inExisting[name].offset >= 0)
            otherSpellings.emplace(static_cast<std::size_t>(inExisting[name].offset), static_cast<int>(name));
    }
    const auto sourceOfName = [&](const std::string& name) {
        const std::string key = trimmedVarName(name);
        if (const auto found = ownPositions.find(key); found != ownPositions.end())
            return static_cast<int>(found->second);
        const auto existing = existingPositions.find(key);
        if (existing == existingPositions.end())
            return -1;
        const auto spelling = otherSpellings.find(existing->second);
        return spelling == otherSpellings.end() ? -1 : spelling->second;
    };
    std::vector<int> sources(variables.names.size(), -1);
    std::vector<bool> used(own.size(), false);
    for (std::size_t entry = 0; entry < variables.entryNames.size(); ++entry) {
        const VariableNames& names = variables.entryNames[entry];
        for (std::size_t name = 0; name < names.size() && sources[entry] < 0; ++name) {
            const int source = sourceOfName(names[name]);
            if (source >= 0 && !used[static_cast<std::size_t>(source)]) {
                used[static_cast<std::size_t>(source)] = true;
                sources[entry] = source;
            }
        }
    }
    return sources;
}

std::vector<int> fillingSources(const Variables& variables, const VariableNames& own) {
    if (own != variables.names)
        return sourcesOf(variables, own);
    std::vector<int> sources(own.size());
    for (std::size_t variable = 0; variable < sources.size(); ++variable)
        sources[variable] = static_cast<int>(variable);
    return sources;
}

} // namespace qelmar::standin
