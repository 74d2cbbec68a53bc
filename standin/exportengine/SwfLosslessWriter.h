#pragma once

// Internal to the stand-in kernel: Flash movies (".swf") whose frames keep their pixels. FFmpeg's
// encoders write Flash only as lossy video, so these frames are the format's own lossless bitmaps:
// each frame is deflated (zlib) into a DefineBitsLossless tag, with 32-bit pixels for true colour
// or an 8-bit index into a table of at most 256 colours, and shown by a rectangle that the bitmap
// fills, placed over the frame before. FFmpeg's demuxer reads these tags back as raw video.
//
//     "FWS", version 6, file length      the file is not compressed as a whole
//     frame rectangle, rate, frame count  the rate in 1/256 frames per second
//     SetBackgroundColor white
//     per frame: DefineBitsLossless, DefineShape, PlaceObject2, ShowFrame
//     End
//
// Every frame takes two character identifiers, so a movie holds at most 32767 frames.

#include "exportengine/AnimationWriter.h"

#include <QSize>

#include <memory>
#include <string>

namespace qelmar::standin {

class SwfLosslessWriter : public AnimationWriter {
public:
    enum class Pixels { TrueColour, Colours256 };

    // Throws std::runtime_error with a reason for the user: the file cannot be made, the size is
    // beyond what the format holds, or the rate is below 1/256 frames per second.
    SwfLosslessWriter(const std::string& path, const QSize& size, double framesPerSecond, Pixels pixels,
                      bool smallestFile);
    ~SwfLosslessWriter() override;

    void addFrame(const QImage& frame) override;
    void complete() override;
    SafeFile& file() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::standin
