#include "host/KernelFrames.h"

#include "kernel/ApplicationModel.h"
#include "kernel/KernelState.h"

using qelmar::standin::ApplicationModel;
using qelmar::standin::FrameWalk;
using qelmar::standin::KernelState;

bool QelUtilFrameExists() {
    if (!KernelState::instance().beginCall("QelUtilFrameExists"))
        return false;
    return ApplicationModel::instance().currentFrame() != nullptr;
}

bool QelUtilFrameLightweightForAllPagesLoopStart() {
    if (!KernelState::instance().beginCall("QelUtilFrameLightweightForAllPagesLoopStart"))
        return false;
    return ApplicationModel::instance().startWalk(FrameWalk::AllPages);
}

bool QelUtilFrameLightweightForAllPagesLoopNext() {
    if (!KernelState::instance().beginCall("QelUtilFrameLightweightForAllPagesLoopNext"))
        return false;
    return ApplicationModel::instance().nextWalk(FrameWalk::AllPages);
}

void QelUtilFrameLightweightForAllPagesLoopEnd() {
    if (!KernelState::instance().beginCall("QelUtilFrameLightweightForAllPagesLoopEnd"))
        return;
    ApplicationModel::instance().endWalk(FrameWalk::AllPages);
}

bool QelUtilFrameLightweightPopStart() {
    if (!KernelState::instance().beginCall("QelUtilFrameLightweightPopStart"))
        return false;
    return ApplicationModel::instance().startWalk(FrameWalk::CurrentPage);
}

bool QelUtilFrameLightweightPopNext() {
    if (!KernelState::instance().beginCall("QelUtilFrameLightweightPopNext"))
        return false;
    return ApplicationModel::instance().nextWalk(FrameWalk::CurrentPage);
}

void QelUtilFrameLightweightPopEnd() {
    if (!KernelState::instance().beginCall("QelUtilFrameLightweightPopEnd"))
        return;
    ApplicationModel::instance().endWalk(FrameWalk::CurrentPage);
}

bool QelUtilFrameGetName(char** name) {
    if (name)
        *name = nullptr;
    if (!KernelState::instance().beginCall("QelUtilFrameGetName") || !name)
        return false;
    const auto* frame = ApplicationModel::instance().currentFrame();
    if (!frame)
        return false;
    *name = qelmar::standin::allocKernelString(frame->name);
    return true;
}

int QelUtilFrameGetPlotType() {
    if (!KernelState::instance().beginCall("QelUtilFrameGetPlotType"))
        return 0;
    const auto* frame = ApplicationModel::instance().currentFrame();
    return frame ? frame->plotType : 0;
}
