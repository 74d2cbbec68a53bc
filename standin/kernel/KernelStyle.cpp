#include "host/KernelStyle.h"

#include "host/KernelStrings.h"
#include "kernel/ArgListData.h"
#include "kernel/KernelState.h"
#include "kernel/StyleStore.h"

using qelmar::standin::KernelState;
using qelmar::standin::StyleStore;

long QelUtilStyleNameGetID(const char* name) {
    if (!KernelState::instance().beginCall("QelUtilStyleNameGetID"))
        return -1;
    return qelmar::standin::styleNameIdentifier(name ? name : "");
}

const char* QelUtilStyleIDGetName(long identifier) {
    if (!KernelState::instance().beginCall("QelUtilStyleIDGetName"))
        return nullptr;
    const std::string* name = qelmar::standin::styleNameOf(identifier);
    return name ? name->c_str() : nullptr;
}

GetValueReturnCode_e QelUtilStyleGetLowLevelX(ArgList_pa args) {
    if (!KernelState::instance().beginCall("QelUtilStyleGetLowLevelX"))
        return GetValue_ContextError;
    if (!args)
        return GetValue_SyntaxError;
    return StyleStore::instance().get(*args);
}

SetValueReturnCode_e QelUtilStyleSetLowLevelX(ArgList_pa args) {
    if (!KernelState::instance().beginCall("QelUtilStyleSetLowLevelX")) {
        // A refusal text of an earlier call must not be taken for this one's.
        StyleStore::instance().clearLastError();
        return SetValue_ContextError;
    }
    if (!args)
        return SetValue_InvalidCommandOption;
    return StyleStore::instance().set(*args);
}

char* QelUtilStyleGetLastErrorString() {
    if (!KernelState::instance().beginCall("QelUtilStyleGetLastErrorString"))
        return nullptr;
    const auto& message = StyleStore::instance().lastError();
    return message ? qelmar::standin::allocKernelString(*message) : nullptr;
}
