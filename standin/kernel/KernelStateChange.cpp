#include "host/KernelStateChange.h"

#include "kernel/KernelState.h"
#include "kernel/StateChange.h"

#include <algorithm>
#include <vector>

using qelmar::standin::KernelState;

namespace {

struct Registration {
    StateChangeCallback_pf callback;
    void* clientData;
    bool operator==(const Registration& other) const {
        return callback == other.callback && clientData == other.clientData;
    }
};

// Not part of the kernel's resettable state: the framework registers once for the whole run,
// and a reset between tests must not cut it off.
std::vector<Registration>& registrations() {
    static std::vector<Registration> callbacks;
    return callbacks;
}

bool isRegistered(const Registration& registration) {
    const auto& all = registrations();
    return std::find(all.begin(), all.end(), registration) != all.end();
}

} // namespace

bool QelAppStateChangeAddCallback(StateChangeCallback_pf callback, void* clientData) {
    if (!KernelState::instance().beginCall("QelAppStateChangeAddCallback"))
        return false;
    const Registration registration{callback, clientData};
    if (!callback || isRegistered(registration))
        return false;
    registrations().push_back(registration);
    return true;
}

void QelAppStateChangeRemoveCallback(StateChangeCallback_pf callback, void* clientData) {
    if (!KernelState::instance().beginCall("QelAppStateChangeRemoveCallback"))
        return;
    auto& all = registrations();
    all.erase(std::remove(all.begin(), all.end(), Registration{callback, clientData}), all.end());
}

namespace qelmar::standin {

void notifyStateChange(StateChange_e kind) {
    // A callback may remove itself or others; those removed meanwhile are not called.
    const std::vector<Registration> snapshot = registrations();
    for (const auto& registration : snapshot) {
        if (isRegistered(registration))
            registration.callback(kind, registration.clientData);
    }
}

} // namespace qelmar::standin
