#include "postload/VariableNameSimilarity.h"

#include "postload/TrimmedName.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace qelmar::sdk::ui::postload {

namespace {

// Forms shorter than this are too short for a one-letter difference to mean a typing slip:
// "temp1" and "temp2" are two variables.
constexpr std::size_t minimumLengthForOneLetter = 6;

bool isSeparator(char c) {
    return c == ' ' || c == '_' || c == '-' || c == '.' || c == '\t';
}

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), lower);
    return result;
}

// Symbols loggers write after a final "_"; words such as "coord" or "max" are not among them, so
// "x_coord" and "t_max" keep their endings.
bool isUnitSymbol(std::string_view word) {
    static const std::unordered_set<std::string> symbols = {
        "m",   "cm",  "mm",   "km",   "s",    "sec", "ms",  "min", "h",    "hr",  "d",   "k",
        "c",   "f",   "degc", "degf", "degk", "pa",  "hpa", "kpa", "mbar", "bar", "psu", "ppm",
        "ppt", "pct", "mps",  "kg",   "g",    "v",   "w",   "hz",  "db",   "rad", "deg"};
    return symbols.count(lowered(word)) > 0;
}

// The name without a unit at its end, or nothing when it carries none.
std::optional<std::string_view> withoutUnit(std::string_view name) {
    if (name.empty())
        return std::nullopt;
    const char last = name.back();
    if (last == ']' || last == ')') {
        const std::size_t open = name.rfind(last == ']' ? '[' : '(');
        if (open != std::string_view::npos && open > 0)
            return name.substr(0, open);
        return std::nullopt;
    }
    const std::size_t underscore = name.rfind('_');
    if (underscore != std::string_view::npos && underscore > 0 && isUnitSymbol(name.substr(underscore + 1)))
        return name.substr(0, underscore);
    return std::nullopt;
}

// At most one letter added, removed or replaced; equal forms are not "one letter" apart.
bool oneLetterApart(const std::string& a, const std::string& b) {
    const std::string& shorter = a.size() <= b.size() ? a : b;
    const std::string& longer = a.size() <= b.size() ? b : a;
    if (longer.size() - shorter.size() > 1 || a == b)
        return false;
    std::size_t front = 0;
    while (front < shorter.size() && shorter[front] == longer[front])
        ++front;
    const std::size_t skip = shorter.size() == longer.size() ? 1 : 0;
    return shorter.compare(front + skip, std::string::npos, longer, front + 1, std::string::npos) == 0;
}

using Rows = std::vector<int>;

void addRow(std::unordered_map<std::string, Rows>& index, const std::string& key, int row) {
    if (key.empty())
        return;
    Rows& rows = index[key];
    if (rows.empty() || rows.back() != row)
        rows.push_back(row);
}

// The one row a key leads to, or nothing when it leads nowhere or to several.
std::optional<int> onlyRow(const std::unordered_map<std::string, Rows>& index, const std::string& key) {
    const auto found = index.find(key);
    if (found == index.end() || found->second.size() != 1)
        return std::nullopt;
    return found->second.front();
}

std::vector<std::string> namesOfEntry(std::string_view entry) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= entry.size()) {
        const std::size_t end = std::min(entry.find('\n', start), entry.size());
        std::string name = trimmedName(entry.substr(start, end - start));
        if (!name.empty())
            names.push_back(std::move(name));
        start = end + 1;
    }
    return names;
}

// The variables to load, looked up by name, by normalised form, by form without unit and by
// forms with one letter left out.
class ToLoadIndex {
public:
    explicit ToLoadIndex(const std::vector<std::string>& entries) {
        for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
            for (const std::string& name : namesOfEntry(entries[static_cast<std::size_t>(row)])) {
                byName.emplace(name, row);
                const std::string form = normalisedVariableName(name);
                addRow(byForm, form, row);
                addRow(byFormWithoutUnit, normalisedWithoutUnit(name), row);
                if (form.size() >= minimumLengthForOneLetter)
                    for (std::size_t gap = 0; gap < form.size(); ++gap)
                        addRow(byFormLessOneLetter, std::string(form).erase(gap, 1), row);
            }
        }
    }

    std::unordered_map<std::string, int> byName;
    std::unordered_map<std::string, Rows> byForm;
    std::unordered_map<std::string, Rows> byFormWithoutUnit;
    std::unordered_map<std::string, Rows> byFormLessOneLetter;
};

class AliasIndex {
public:
    explicit AliasIndex(const std::vector<std::vector<std::string>>& groups)
        : m_groups(groups) {
        for (int group = 0; group < static_cast<int>(groups.size()); ++group) {
            for (const std::string& member : groups[static_cast<std::size_t>(group)]) {
                addRow(m_byName, trimmedName(member), group);
                addRow(m_byForm, normalisedVariableName(member), group);
            }
        }
    }

    // The groups holding the name; by form too unless the name's form is one the data keeps
    // apart.
    Rows groupsOf(const std::string& name, const std::string& form, bool byFormToo) const {
        Rows groups;
        const auto collect = [&groups](const std::unordered_map<std::string, Rows>& index,
                                       const std::string& key) {
            const auto found = index.find(key);
            if (found != index.end())
                groups.insert(groups.end(), found->second.begin(), found->second.end());
        };
        collect(m_byName, name);
        if (byFormToo)
            collect(m_byForm, form);
        std::sort(groups.begin(), groups.end());
        groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
        return groups;
    }

    const std::vector<std::string>& members(int group) const {
        return m_groups[static_cast<std::size_t>(group)];
    }

private:
    const std::vector<std::vector<std::string>>& m_groups;
    std::unordered_map<std::string, Rows> m_byName;
    std::unordered_map<std::string, Rows> m_byForm;
};

class Suggester {
public:
    Suggester(const std::vector<std::string>& available, const std::vector<std::string>& toLoad,
              const std::vector<std::vector<std::string>>& aliasGroups)
        : m_entries(toLoad)
        , m_toLoad(toLoad)
        , m_aliases(aliasGroups) {
        for (const std::string& name : available) {
            const std::string trimmed = trimmedName(name);
            m_availableNamesByForm[normalisedVariableName(trimmed)].insert(trimmed);
        }
    }

    std::optional<NameSuggestion> suggest(const std::string& rawName, int availableRow) const {
        const std::string name = trimmedName(rawName);
        const std::string form = normalisedVariableName(name);
        if (form.empty())
            return std::nullopt;
        const bool apart = keptApart(form);
        const auto suggestion = [&](int row, SimilarityReason reason) {
            const std::vector<std::string> names = namesOfEntry(entryText(row));
            return NameSuggestion{availableRow, row, name, names.empty() ? std::string() : names.front(),
                                  reason};
        };
        if (!apart)
            if (const auto row = onlyRow(m_toLoad.byForm, form))
                return suggestion(*row, sameFormReason(name, *row));
        if (const auto row = throughAliases(name, form, apart))
            return suggestion(*row, SimilarityReason::AliasGroup);
        if (apart)
            return std::nullopt;
        if (const auto row = withUnitRemoved(name, form))
            return suggestion(*row, SimilarityReason::UnitRemoved);
        if (const auto row = oneLetterOff(form))
            return suggestion(*row, SimilarityReason::OneLetterDiffers);
        return std::nullopt;
    }

private:
    bool keptApart(const std::string& form) const {
        const auto names = m_availableNamesByForm.find(form);
        const auto rows = m_toLoad.byForm.find(form);
        return (names != m_availableNamesByForm.end() && names->second.size() > 1) ||
               (rows != m_toLoad.byForm.end() && rows->second.size() > 1);
    }

    SimilarityReason sameFormReason(const std::string& name, int row) const {
        const std::string wanted = lowered(name);
        for (const std::string& held : namesOfEntry(entryText(row))) {
            if (lowered(held) == wanted)
                return SimilarityReason::OtherCase;
        }
        return SimilarityReason::OtherSeparators;
    }

    const std::string& entryText(int row) const { return m_entries[static_cast<std::size_t>(row)]; }

    std::optional<int> throughAliases(const std::string& name, const std::string& form, bool apart) const {
        Rows groups = m_aliases.groupsOf(name, form, !apart);
        if (!apart)
            if (const auto bare = withoutUnit(name)) {
                const std::string bareName = trimmedName(*bare);
                const Rows more = m_aliases.groupsOf(bareName, normalisedVariableName(bareName), true);
                groups.insert(groups.end(), more.begin(), more.end());
            }
        for (const int group : groups) {
            for (const std::string& member : m_aliases.members(group)) {
                const std::string trimmed = trimmedName(member);
                const auto exact = m_toLoad.byName.find(trimmed);
                if (exact != m_toLoad.byName.end())
                    return exact->second;
                const std::string memberForm = normalisedVariableName(trimmed);
                if (!keptApart(memberForm))
                    if (const auto row = onlyRow(m_toLoad.byForm, memberForm))
                        return row;
            }
        }
        return std::nullopt;
    }

    std::optional<int> withUnitRemoved(const std::string& name, const std::string& form) const {
        const std::string bare = normalisedWithoutUnit(name);
        if (!bare.empty()) {
            if (const auto row = onlyRow(m_toLoad.byForm, bare))
                return row;
            if (const auto row = onlyRow(m_toLoad.byFormWithoutUnit, bare))
                return row;
        }
        return onlyRow(m_toLoad.byFormWithoutUnit, form);
    }

    // One row only: two variables a letter away from the name leave the choice to the user.
    std::optional<int> oneLetterOff(const std::string& form) const {
        if (form.size() < minimumLengthForOneLetter - 1)
            return std::nullopt;
        std::set<int> rows;
        const auto consider = [&](const std::unordered_map<std::string, Rows>& index,
                                  const std::string& key) {
            const auto found = index.find(key);
            if (found == index.end())
                return;
            for (const int row : found->second)
                if (rowHasFormOneLetterFrom(row, form))
                    rows.insert(row);
        };
        consider(m_toLoad.byForm, form);
        consider(m_toLoad.byFormLessOneLetter, form);
        for (std::size_t gap = 0; gap < form.size(); ++gap) {
            const std::string less = std::string(form).erase(gap, 1);
            consider(m_toLoad.byForm, less);
            consider(m_toLoad.byFormLessOneLetter, less);
        }
        if (rows.size() != 1)
            return std::nullopt;
        return *rows.begin();
    }

    bool rowHasFormOneLetterFrom(int row, const std::string& form) const {
        for (const std::string& name : namesOfEntry(entryText(row))) {
            const std::string held = normalisedVariableName(name);
            if (held.size() >= minimumLengthForOneLetter && form.size() >= minimumLengthForOneLetter &&
                oneLetterApart(held, form))
                return true;
        }
        return false;
    }

    const std::vector<std::string>& m_entries;
    ToLoadIndex m_toLoad;
    AliasIndex m_aliases;
    std::unordered_map<std::string, std::set<std::string>> m_availableNamesByForm;
};

} // namespace

std::string similarityReasonText(SimilarityReason reason) {
    switch (reason) {
    case SimilarityReason::OtherCase:
        return "same name in another case";
    case SimilarityReason::OtherSeparators:
        return "same name with other separators";
    case SimilarityReason::AliasGroup:
        return "same alias group";
    case SimilarityReason::UnitRemoved:
        return "unit removed";
    case SimilarityReason::OneLetterDiffers:
        return "one letter differs";
    }
    return {};
}

std::string normalisedVariableName(std::string_view name) {
    std::string form;
    form.reserve(name.size());
    for (const char c : name) {
        if (!isSeparator(c) && !std::isspace(static_cast<unsigned char>(c)))
            form += lower(c);
    }
    return form;
}

std::string normalisedWithoutUnit(std::string_view name) {
    const std::string trimmed = trimmedName(name);
    const auto bare = withoutUnit(trimmed);
    return bare ? normalisedVariableName(*bare) : std::string();
}

std::vector<NameSuggestion> suggestVariableMatches(const std::vector<std::string>& available,
                                                   const std::vector<std::string>& toLoad,
                                                   const std::vector<std::vector<std::string>>& aliasGroups) {
    Suggester suggester(available, toLoad, aliasGroups);
    std::vector<NameSuggestion> suggestions;
    for (int row = 0; row < static_cast<int>(available.size()); ++row) {
        if (const auto suggestion = suggester.suggest(available[static_cast<std::size_t>(row)], row))
            suggestions.push_back(*suggestion);
    }
    return suggestions;
}

} // namespace qelmar::sdk::ui::postload
