#pragma once

// The kernel announces every change of application state to the callbacks registered here,
// on the user-interface thread, after the change is complete.

enum StateChange_e {
    StateChange_Style = 1,
    StateChange_DataSetsAltered = 2,
    StateChange_VariablesAltered = 3,
    StateChange_FramesAltered = 4,
    StateChange_CurrentFrame = 5,
    StateChange_PageAltered = 6,
    StateChange_LayoutFile = 7,
    StateChange_MacroRecording = 8,
    // The kernel is going down or has replaced all of its style state at once: observers drop
    // their subscriptions instead of re-reading.
    StateChange_Shutdown = 15
};

using StateChangeCallback_pf = void (*)(StateChange_e kind, void* clientData);

// A callback is registered once per client data; registering it again is refused.
bool QelAppStateChangeAddCallback(StateChangeCallback_pf callback, void* clientData);
void QelAppStateChangeRemoveCallback(StateChangeCallback_pf callback, void* clientData);
