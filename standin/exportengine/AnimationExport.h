#pragma once

// Internal to the stand-in kernel: one animation being exported, from the export call that
// starts it to the call that finishes it. The settings are read once when it starts; every frame
// draws the region anew at the size of the first, and goes straight to the file's writer.

#include "exportengine/ExportGeometry.h"
#include "exportengine/ExportSettings.h"

#include <QSize>

#include <memory>

namespace qelmar::standin {

// The animation formats this kernel writes: AVI, MPEG-4, WMV, Flash and Raster Metafile.
bool isAnimatedFormat(ExportFormat_e format);

// The size of the frames: as for a still image, with the even sides the format's encoder needs
// (exportImageSize).
QSize animationFrameSize(const ExportArea& area, const ExportSettings& settings);

class AnimationExport {
public:
    // Opens the file and writes the first frame. Throws std::runtime_error with a reason for the
    // user; nothing is then left on disk.
    explicit AnimationExport(const ExportSettings& settings);
    AnimationExport(const AnimationExport&) = delete;
    AnimationExport& operator=(const AnimationExport&) = delete;
    // Without finish(), abandons the animation: the target stays as it was, no temporary file.
    ~AnimationExport();

    // Both throw std::runtime_error; the animation is then unusable and only to be destroyed.
    void addFrame();
    void finish();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The animations that follow hand the next `frames` frames they draw to no writer, as an encoder
// that loses frames would; the kernel's reset ends it. For tests of the check of written movies.
void loseAnimationFramesForTesting(int frames);

} // namespace qelmar::standin
