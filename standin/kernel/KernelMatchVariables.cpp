#include "kernel/KernelState.h"
#include "kernel/MatchVariables.h"

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

} // namespace

bool hasMatchVariablesCallback() {
    return registration().callback != nullptr;
}

StringList_s* matchVariables(StringList_s* existing, StringList_s* const* incoming, long incomingCount) {
    const Registration registered = registration();
    return registered.callback ? registered.callback(existing, incoming, incomingCount, registered.clientData)
                               : nullptr;
}

} // namespace qelmar::standin

void QelEngMatchVariablesRegisterCallback(MatchVariablesCallback_pf callback, void* clientData) {
    if (!qelmar::standin::KernelState::instance().beginCall("QelEngMatchVariablesRegisterCallback"))
        return;
    qelmar::standin::registration() = {callback, clientData};
}
