#pragma once

#include "host/KernelStateChange.h"

namespace qelmar::sdk {

// One change of application state, as the kernel announced it.
class StateChangeEventInterface {
public:
    virtual StateChange_e kind() const = 0;
    virtual ~StateChangeEventInterface() = default;
};

} // namespace qelmar::sdk
