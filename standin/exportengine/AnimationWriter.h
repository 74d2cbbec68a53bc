#pragma once

// Internal to the stand-in kernel: where the frames of an animation go, one at a time, as they
// are drawn. A writer keeps no frame longer than it needs to encode it, so memory stays flat
// however long the animation runs. The file is written beside the target and reaches it only
// when committed, after it was read back and checked; destroying a writer that was not committed
// abandons its file.

#include <QImage>

namespace qelmar::standin {

class SafeFile;

class AnimationWriter {
public:
    virtual ~AnimationWriter() = default;

    // The frame has the size the writer was made for. Both throw std::runtime_error with a
    // reason for the user; the writer is unusable afterwards.
    virtual void addFrame(const QImage& frame) = 0;
    // Writes what completes the file, which stays beside the target until committed.
    virtual void complete() = 0;
    // The file being written: readable through its readablePath(), moved onto the target by its
    // commit().
    virtual SafeFile& file() = 0;
};

} // namespace qelmar::standin
