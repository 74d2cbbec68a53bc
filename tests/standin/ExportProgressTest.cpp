#include "ExportTestScene.h"
#include "common/FileBytes.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using exporttest::lastError;
using testsupport::contentsOf;
using testsupport::fileExists;

// What the kernel told the callback, and the answer a test gives.
struct Listener {
    std::vector<double> shares;
    std::function<bool(double)> answer = [](double) { return true; };

    static bool called(double share, void* self) {
        auto* listener = static_cast<Listener*>(self);
        listener->shares.push_back(share);
        return listener->answer(share);
    }
};

// Two frames of dense curves, so that the drawing reports in chunks: a line frame of two curves
// and a three-dimensional frame with its shadow.
class ExportProgressTest : public exporttest::ExportTestBase {
protected:
    void SetUp() override {
        ExportTestBase::SetUp();
        const int page = app.addPage("Dense");
        const int lines = app.addFrame(page, "Lines");
        const int box = app.addFrame(page, "Box", 1);
        std::vector<double> t(pointCount);
        std::vector<double> a(pointCount);
        std::vector<double> b(pointCount);
        for (std::size_t i = 0; i < pointCount; ++i) {
            t[i] = static_cast<double>(i);
            a[i] = std::sin(t[i] * 0.001);
            b[i] = std::cos(t[i] * 0.0007);
        }
        app.attachDataSet(lines, {"Lines", {"t", "a", "b"}, {t, a, b}}, false);
        app.attachDataSet(box, {"Box", {"x", "y", "z"}, {a, b, t}}, false);
        app.setFramePlacement(lines, 0.5, 0.5, 4.5, 3.0);
        app.setFramePlacement(box, 5.5, 0.5, 4.0, 4.0);
        app.setCurrentFrame(lines);
    }

    void TearDown() override { QelUtilExportSetProgressCallback(nullptr, nullptr); }

    bool exportAs(const std::string& name, ExportFormat_e format, Listener& listener) {
        set({"ExportSetup", "ExportFName"}, path(name));
        set({"ExportSetup", "ExportFormat"}, static_cast<long>(format));
        set({"ExportSetup", "ExportRegion"}, static_cast<long>(ExportRegion_AllFrames));
        QelUtilExportSetProgressCallback(&Listener::called, &listener);
        return QelUtilExport(false);
    }

    QStringList filesInFolder() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }

    static constexpr std::size_t pointCount = 300000;
};

struct FormatRow {
    const char* name;
    ExportFormat_e format;
};

const FormatRow stillFormats[] = {{"PNG", ExportFormat_PNG},
                                  {"JPEG", ExportFormat_JPEG},
                                  {"TIFF", ExportFormat_TIFF},
                                  {"BMP", ExportFormat_BMP},
                                  {"EPS", ExportFormat_EPS},
                                  {"PostScript", ExportFormat_PS},
                                  {"Metafile", ExportFormat_WindowsMetafile}};

class ExportProgressPerFormat : public ExportProgressTest, public ::testing::WithParamInterface<FormatRow> {};

TEST_P(ExportProgressPerFormat, ReportsRiseToTheWholeAndACancelKeepsTheEarlierFile) {
    Listener listener;
    ASSERT_TRUE(exportAs("kept", GetParam().format, listener)) << lastError();
    ASSERT_GE(listener.shares.size(), 3u); // a start, the drawing's chunks, the end
    EXPECT_EQ(listener.shares.front(), 0.0);
    EXPECT_EQ(listener.shares.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(listener.shares.begin(), listener.shares.end()));

    // Cancelled at the first report.
    const QByteArray earlier = contentsOf(path("kept"));
    listener.shares.clear();
    listener.answer = [](double) { return false; };
    EXPECT_FALSE(exportAs("kept", GetParam().format, listener));
    EXPECT_EQ(lastError(), "The export was cancelled.");
    EXPECT_EQ(listener.shares.size(), 1u);
    EXPECT_EQ(contentsOf(path("kept")), earlier);
    EXPECT_FALSE(exportAs("new", GetParam().format, listener));
    EXPECT_EQ(filesInFolder(), QStringList{"kept"});
}

INSTANTIATE_TEST_SUITE_P(StillFormats, ExportProgressPerFormat, ::testing::ValuesIn(stillFormats),
                         [](const ::testing::TestParamInfo<FormatRow>& row) { return row.param.name; });

TEST_F(ExportProgressTest, CancelWhileTheEncoderWritesLeavesNoFile) {
    // An uncompressed image is written in many blocks, each one a chance to cancel.
    set({"Interface", "UseOffScreenBitMap"}, 1L);
    set({"ExportSetup", "ImageWidth"}, 3000L);
    Listener listener;
    double cancelledAt = -1.0;
    listener.answer = [&](double share) {
        if (share <= 0.5)
            return true;
        cancelledAt = share;
        return false;
    };
    EXPECT_FALSE(exportAs("image.bmp", ExportFormat_BMP, listener));
    EXPECT_EQ(lastError(), "The export was cancelled.");
    EXPECT_GT(cancelledAt, 0.5);
    EXPECT_LT(cancelledAt, 1.0); // within the encoding, not after it
    EXPECT_TRUE(filesInFolder().isEmpty());
}

TEST_F(ExportProgressTest, ARemovedCallbackIsNoLongerCalled) {
    Listener listener;
    QelUtilExportSetProgressCallback(&Listener::called, &listener);
    QelUtilExportSetProgressCallback(nullptr, &listener);
    set({"ExportSetup", "ExportFName"}, path("quiet.png"));
    set({"ExportSetup", "ExportFormat"}, static_cast<long>(ExportFormat_PNG));
    ASSERT_TRUE(QelUtilExport(false)) << lastError();
    EXPECT_TRUE(listener.shares.empty());
    EXPECT_TRUE(fileExists(path("quiet.png")));
}

} // namespace
