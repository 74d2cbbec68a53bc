#include "host/KernelFrames.h"

#include "kernel/KernelState.h"

using qelmar::standin::KernelState;

// The application model (pages, frames, data sets) grows with the layout subsystem; until
// then the application has one frame.
bool QelUtilFrameExists()
{
    KernelState::instance().beginCall("QelUtilFrameExists");
    return true;
}
