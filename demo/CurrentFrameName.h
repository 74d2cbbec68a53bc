#pragma once

#include "host/AppLock.h"
#include "host/KernelFrames.h"
#include "host/KernelString.h"

#include <QString>

namespace qelmar::demo {

// The title of the current frame, which every export of it shows.
inline QString currentFrameName() {
    const qelmar::sdk::AppLock lock(qelmar::sdk::AppLock::NoImplicitMacroRecord);
    qelmar::sdk::KernelString name;
    QelUtilFrameGetName(name.address());
    return QString::fromUtf8(name.c_str());
}

} // namespace qelmar::demo
