#pragma once

// Internal to the stand-in kernel: a movie written through FFmpeg's libraries. Each frame is
// converted to the encoder's pixel format and encoded as it comes; the container is written
// through a SafeFile, so the movie reaches the target only when finished.

#include "exportengine/AnimationWriter.h"
#include "exportengine/MovieCodec.h"

#include <QSize>

#include <memory>
#include <string>

namespace qelmar::standin {

class MovieEncoder : public AnimationWriter {
public:
    // Throws std::runtime_error with a reason for the user when the file cannot be made or the
    // encoder refuses the settings.
    MovieEncoder(const std::string& path, const MovieCodec& codec, const QSize& size, double framesPerSecond);
    ~MovieEncoder() override;

    void addFrame(const QImage& frame) override;
    void complete() override;
    SafeFile& file() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::standin
