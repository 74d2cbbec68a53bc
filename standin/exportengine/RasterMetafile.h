#pragma once

// Internal to the stand-in kernel: Raster Metafiles (".rm"), a sequence of frames as indexed
// images. All numbers are little-endian:
//
//     magic        8 bytes   "QELRMF\r\n"
//     version      uint32    1
//     width        uint32    pixels of every frame
//     height       uint32
//     rate         float64   frames per second
//     frames       uint32    number of frames
//     tables       uint32    0: one colour table for all frames, right after the header;
//                            1: one colour table before each frame
//     checksum     uint32    CRC-32 of the 36 header bytes before it
//   a colour table:
//     colours      uint32    1 to 256
//     entries      uint32    0xAARRGGBB, one per colour
//     checksum     uint32    CRC-32 of the table's bytes before it
//   a frame:
//     packed       uint32    byte count of the pixels
//     pixels       zlib stream of width x height colour indices, row after row, top row first
//     checksum     uint32    CRC-32 of the frame's bytes before it
//
// Frames are written as they are drawn and the header is written again with the frame count
// when the file is finished, so an animation of any length needs the memory of one frame. With
// one table for all frames the table is the first frame's, and later frames are mapped onto it.

#include "exportengine/AnimationWriter.h"

#include <QImage>
#include <QSize>

#include <memory>
#include <string>
#include <vector>

namespace qelmar::standin {

constexpr char rasterMetafileMagic[8] = {'Q', 'E', 'L', 'R', 'M', 'F', '\r', '\n'};
constexpr unsigned rasterMetafileVersion = 1;

struct RasterMetafileContents {
    QSize size;
    double framesPerSecond = 0;
    int colourTables = 0;
    int frameCount = 0;
    std::vector<QImage> frames; // Format_Indexed8; empty when the frames were only checked
};

enum class RasterMetafileFrames { Keep, CheckOnly };

// Throws std::runtime_error naming `origin` and what is wrong with the bytes. Every frame is
// unpacked and checked either way.
RasterMetafileContents decodeRasterMetafile(const QByteArray& bytes, const std::string& origin,
                                            RasterMetafileFrames frames = RasterMetafileFrames::Keep);
// Throws std::runtime_error naming the file and what is wrong with it.
RasterMetafileContents readRasterMetafile(const std::string& path,
                                          RasterMetafileFrames frames = RasterMetafileFrames::Keep);

class RasterMetafileWriter : public AnimationWriter {
public:
    // Throws std::runtime_error with a reason for the user.
    RasterMetafileWriter(const std::string& path, const QSize& size, double framesPerSecond,
                         bool tablePerFrame);
    ~RasterMetafileWriter() override;

    void addFrame(const QImage& frame) override;
    void complete() override;
    SafeFile& file() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::standin
