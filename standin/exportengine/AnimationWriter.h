#pragma once

// Internal to the stand-in kernel: where the frames of an animation go, one at a time, as they
// are drawn. A writer keeps no frame longer than it needs to encode it, so memory stays flat
// however long the animation runs. Destroying a writer that was not finished abandons its file.

#include <QImage>

namespace qelmar::standin {

class AnimationWriter {
public:
    virtual ~AnimationWriter() = default;

    // The frame has the size the writer was made for. Both throw std::runtime_error with a
    // reason for the user; the writer is unusable afterwards.
    virtual void addFrame(const QImage& frame) = 0;
    // Completes the file and moves it onto the target.
    virtual void finish() = 0;
};

} // namespace qelmar::standin
