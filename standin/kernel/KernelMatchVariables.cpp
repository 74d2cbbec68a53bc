#include "kernel/KernelState.h"
#include "kernel/MatchVariables.h"
#include "kernel/StringListData.h"
#include "kernel/VariableFilling.h"

#include <memory>
#include <new>
#include <optional>
#include <utility>

namespace qelmar::standin {

namespace {

struct Registration {
    MatchVariablesCallback_pf callback = nullptr;
    void* clientData = nullptr;
};

// Like the state-change callbacks, the registration is the application's wiring, not kernel
// state: a kernel reset keeps it, since the application registers only once.
Registration& registration() {
    static Registration registered;
    return registered;
}

// The names of the lists of the callback that runs now; null outside one.
const std::vector<std::string>*& currentSourceNames() {
    static const std::vector<std::string>* names = nullptr;
    return names;
}

// A callback may load data itself; the outer call's names come back when the inner one ends.
class SourceNamesDuringCallback {
public:
    explicit SourceNamesDuringCallback(const std::vector<std::string>& names)
        : m_outer(std::exchange(currentSourceNames(), &names)) {}
    SourceNamesDuringCallback(const SourceNamesDuringCallback&) = delete;
    SourceNamesDuringCallback& operator=(const SourceNamesDuringCallback&) = delete;
    ~SourceNamesDuringCallback() { currentSourceNames() = m_outer; }

private:
    const std::vector<std::string>* m_outer;
};

VariableNames namesIn(const StringList_s* list) {
    VariableNames names;
    if (!list)
        return names;
    names.reserve(list->strings.size());
    for (const auto& entry : list->strings)
        names.push_back(entry.value_or(std::string()));
    return names;
}

// A window asks for every file of one load with the same answer; reading the answer's variables
// is most of the work, so the last one is kept.
struct ChosenVariables {
    VariableNames existing;
    std::vector<std::optional<std::string>> answer;
    std::optional<Variables> variables;
    std::vector<long> positions;
};

const ChosenVariables& chosenVariables(const StringList_s* existing, const StringList_s& toLoad) {
    // Never destroyed: the kernel lists it holds must not outlive the kernel at exit.
    static auto* last = new ChosenVariables;
    VariableNames existingNames = namesIn(existing);
    if (!last->variables || last->existing != existingNames || last->answer != toLoad.strings) {
        const qelmar::toolbox::StringList answer(new StringList_s(toLoad));
        last->variables.reset();
        last->variables = variablesOf(answer, existingNames);
        last->positions = namedEntryPositions(answer);
        last->existing = std::move(existingNames);
        last->answer = toLoad.strings;
    }
    return *last;
}

StringList_s* fillingNames(const StringList_s* existing, const StringList_s& toLoad,
                           const StringList_s* incoming) {
    const ChosenVariables& chosen = chosenVariables(existing, toLoad);
    const VariableNames own = namesIn(incoming);
    const std::vector<int> sources = fillingSources(*chosen.variables, own);
    const std::vector<long>& positions = chosen.positions;
    auto names = std::make_unique<StringList_s>();
    names->strings.assign(toLoad.strings.size(), std::string());
    for (std::size_t variable = 0; variable < sources.size(); ++variable) {
        if (sources[variable] >= 0)
            names->strings[static_cast<std::size_t>(positions[variable])] =
                own[static_cast<std::size_t>(sources[variable])];
    }
    return names.release();
}

} // namespace

bool hasMatchVariablesCallback() {
    return registration().callback != nullptr;
}

StringList_s* matchVariables(StringList_s* existing, StringList_s* const* incoming, long incomingCount,
                             const std::vector<std::string>& sourceNames) {
    const Registration registered = registration();
    if (!registered.callback)
        return nullptr;
    const SourceNamesDuringCallback named(sourceNames);
    return registered.callback(existing, incoming, incomingCount, registered.clientData);
}

} // namespace qelmar::standin

using qelmar::standin::KernelState;

void QelEngMatchVariablesRegisterCallback(MatchVariablesCallback_pf callback, void* clientData) {
    if (!KernelState::instance().beginCall("QelEngMatchVariablesRegisterCallback"))
        return;
    qelmar::standin::registration() = {callback, clientData};
}

StringList_s* QelAppVarNameListGetFillingNames(const StringList_s* existing, const StringList_s* toLoad,
                                               const StringList_s* incoming) {
    if (!KernelState::instance().beginCall("QelAppVarNameListGetFillingNames"))
        return nullptr;
    const StringList_s none;
    try {
        return qelmar::standin::fillingNames(existing, toLoad ? *toLoad : none, incoming);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

char* QelEngMatchVariablesGetSourceName(long index) {
    if (!KernelState::instance().beginCall("QelEngMatchVariablesGetSourceName"))
        return nullptr;
    const std::vector<std::string>* names = qelmar::standin::currentSourceNames();
    if (!names || index < -1 || index + 1 >= static_cast<long>(names->size()))
        return nullptr;
    return qelmar::standin::allocKernelString((*names)[static_cast<std::size_t>(index + 1)]);
}
