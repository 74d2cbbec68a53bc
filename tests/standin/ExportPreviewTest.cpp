#include "ExportTestScene.h"
#include "common/FileBytes.h"
#include "host/KernelExportPreview.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using exporttest::lastError;
using qelmar::standin::StylePath;
using qelmar::standin::StyleVariant;
using qelmar::standin::testing::DataSetContents;

struct PreviewDeleter {
    void operator()(QelExportPreview_s* preview) const { QelUtilExportPreviewDealloc(&preview); }
};
using Preview = std::unique_ptr<QelExportPreview_s, PreviewDeleter>;

using Overrides = std::vector<QelExportSettingOverride_s>;

Preview previewOf(const Overrides& overrides, int maxWidth = 4000, int maxHeight = 4000) {
    return Preview(QelUtilExportPreviewRender(overrides.data(), overrides.size(), maxWidth, maxHeight));
}

QImage pictureOf(const QelExportPreview_s& preview) {
    return QImage(preview.pixels, preview.previewWidth, preview.previewHeight, preview.previewWidth * 4,
                  QImage::Format_ARGB32_Premultiplied)
        .copy();
}

// The share of pixels where some channel differs by more than the tolerance.
double differingShare(const QImage& a, const QImage& b, int tolerance = 48) {
    const QImage left = a.convertToFormat(QImage::Format_ARGB32);
    const QImage right = b.convertToFormat(QImage::Format_ARGB32);
    long differing = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width(); ++x) {
            const QRgb p = left.pixel(x, y);
            const QRgb q = right.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                std::abs(qBlue(p) - qBlue(q)) > tolerance || std::abs(qAlpha(p) - qAlpha(q)) > tolerance)
                ++differing;
        }
    }
    return static_cast<double>(differing) / (static_cast<double>(left.width()) * left.height());
}

double valueIn(const Overrides& overrides, const std::string& path, double otherwise) {
    for (const auto& entry : overrides) {
        if (entry.path == path)
            return entry.value;
    }
    return otherwise;
}

DataSetContents denseWave() {
    DataSetContents wave{"Wave", {"t", "sin", "cos"}, {{}, {}, {}}};
    for (int i = 0; i < 400; ++i) {
        const double t = i * 0.05;
        wave.values[0].push_back(t);
        wave.values[1].push_back(std::sin(t) * std::exp(-t / 10));
        wave.values[2].push_back(std::cos(3 * t));
    }
    return wave;
}

class ExportPreviewTest : public exporttest::ExportTestScene {
protected:
    // Writes the file the settings describe, with the overrides in the kernel's style store for
    // the time of the export.
    std::string exportWith(const std::string& name, const Overrides& overrides) {
        std::vector<std::pair<StylePath, StyleVariant>> previous;
        for (const auto& entry : overrides) {
            const StylePath stylePath = splitPath(entry.path);
            previous.emplace_back(stylePath, *styles.value(stylePath));
            set(stylePath, StyleVariant(entry.value));
        }
        set({"ExportSetup", "ExportFName"}, path(name));
        EXPECT_TRUE(QelUtilExport(false)) << lastError();
        for (auto it = previous.rbegin(); it != previous.rend(); ++it)
            set(it->first, it->second);
        return path(name);
    }

    static StylePath splitPath(const std::string& joined) {
        StylePath result;
        for (const QString& name : QString::fromStdString(joined).split('/'))
            result.push_back(name.toStdString());
        return result;
    }

    void useDenseScene() {
        app.attachDataSet(curves, denseWave(), false);
        app.setFramePlacement(curves, 0.5, 0.5, 6.0, 4.0);
    }
};

struct PictureCase {
    const char* name;
    Overrides overrides;
    // Of pixels that may differ once the file is brought to the preview's resolution.
    double share = 0.01;
};

QImage resized(const QImage& image, const QSize& size) {
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The preview shows what a reader of the file shows: palette, grey depth, colour reduction and
// supersampling included. At the file's size it is the file's picture itself; smaller, it is the
// file as seen at the preview's resolution (thin lines and dithering differ in detail at any other
// scale, so the file is brought to the preview's resolution before both are compared).
TEST_F(ExportPreviewTest, PreviewShowsTheWrittenPicture) {
    const double png = ExportFormat_PNG;
    const double tiff = ExportFormat_TIFF;
    const std::vector<PictureCase> cases = {
        {"png-colour", {{"ExportSetup/ExportFormat", png}}},
        {"tiff-colour", {{"ExportSetup/ExportFormat", tiff}}},
        {"tiff-monochrome-8bit",
         {{"ExportSetup/ExportFormat", tiff},
          {"PrintSetup/Palette", Palette_Monochrome},
          {"ExportSetup/GrayscaleDepth", 8}}},
        {"tiff-monochrome-4bit",
         {{"ExportSetup/ExportFormat", tiff},
          {"PrintSetup/Palette", Palette_Monochrome},
          {"ExportSetup/GrayscaleDepth", 4}}},
        {"tiff-monochrome-1bit",
         {{"ExportSetup/ExportFormat", tiff},
          {"PrintSetup/Palette", Palette_Monochrome},
          {"ExportSetup/GrayscaleDepth", 0}},
         // Black and white has no grey for a line thinner than a preview pixel: such lines come
         // and go with the scale.
         0.05},
        {"png-256-colours", {{"ExportSetup/ExportFormat", png}, {"ExportSetup/ConvertTo256Colors", 1}}},
        {"png-supersampled",
         {{"ExportSetup/ExportFormat", png},
          {"ExportSetup/UseSuperSampleAntiAliasing", 1},
          {"ExportSetup/SuperSampleFactor", 3}}},
        {"bmp-all-frames",
         {{"ExportSetup/ExportFormat", ExportFormat_BMP},
          {"ExportSetup/ExportRegion", ExportRegion_AllFrames}}},
    };
    for (const PictureCase& row : cases) {
        SCOPED_TRACE(row.name);
        Overrides overrides = row.overrides;
        overrides.push_back({"ExportSetup/ImageWidth", 900});
        const QImage written(QString::fromStdString(exportWith(std::string(row.name) + ".img", overrides)));
        ASSERT_FALSE(written.isNull());

        const Preview full = previewOf(overrides);
        ASSERT_TRUE(full) << lastError();
        ASSERT_EQ(QSize(full->previewWidth, full->previewHeight), written.size());
        EXPECT_EQ(differingShare(pictureOf(*full), written, 1), 0.0);

        const Preview half = previewOf(overrides, 450, 450);
        ASSERT_TRUE(half) << lastError();
        EXPECT_EQ(half->previewWidth, 450);
        const QImage preview = pictureOf(*half);
        const QImage fileAtPreviewResolution = resized(resized(written, preview.size()), written.size());
        EXPECT_LT(differingShare(resized(preview, written.size()), fileAtPreviewResolution), row.share);
    }
}

// A preview reads overrides in place of style values but never writes one, and leaves the
// application where it was.
TEST_F(ExportPreviewTest, OverridesChangeThePreviewButNotTheKernel) {
    set({"ExportSetup", "ExportFormat"}, long{ExportFormat_PNG});
    set({"ExportSetup", "ImageWidth"}, long{640});
    app.setLaterTimeSteps(curves, {{"Run", {"t", "a", "b"}, {{0, 1, 2, 3}, {9, 1, 9, 1}, {2, 2, 3, 1}}}});
    app.setCurrentTimeStep(1);
    const Preview plain = previewOf({});
    ASSERT_TRUE(plain) << lastError();
    EXPECT_EQ(plain->fileWidth, 640);

    const Preview grey = previewOf({{"ExportSetup/ImageWidth", 320},
                                    {"ExportSetup/ExportFormat", ExportFormat_TIFF},
                                    {"PrintSetup/Palette", Palette_Monochrome}});
    ASSERT_TRUE(grey) << lastError();
    EXPECT_EQ(grey->fileWidth, 320);
    const QImage greyPicture = pictureOf(*grey);
    EXPECT_TRUE(greyPicture.allGray());
    EXPECT_FALSE(pictureOf(*plain).allGray());

    EXPECT_EQ(styles.integerValue({"ExportSetup", "ImageWidth"}), 640);
    EXPECT_EQ(styles.integerValue({"ExportSetup", "ExportFormat"}), ExportFormat_PNG);
    EXPECT_EQ(styles.integerValue({"PrintSetup", "Palette"}), Palette_Color);
    EXPECT_EQ(app.currentTimeStep(), 1);
    EXPECT_EQ(lastError(), "");
}

TEST_F(ExportPreviewTest, RefusedOverridesFailWithTheSettingNamed) {
    struct Case {
        const char* name;
        QelExportSettingOverride_s override;
        const char* mentions;
    };
    const std::vector<Case> cases = {
        {"unknown-path", {"ExportSetup/NoSuchThing", 1}, "ExportSetup/NoSuchThing"},
        {"style-but-not-export", {"FileConfig/LayoutConfig/IncludeData", 1}, "FileConfig/LayoutConfig"},
        {"width-out-of-range", {"ExportSetup/ImageWidth", 2}, "ExportSetup ImageWidth"},
        {"not-a-choice", {"ExportSetup/ExportRegion", 77}, "ExportSetup ExportRegion"},
        {"fraction-for-integer", {"ExportSetup/ImageWidth", 100.5}, "ExportSetup ImageWidth"},
        {"text-setting", {"ExportSetup/ExportFName", 1}, "ExportSetup ExportFName"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(previewOf({row.override}));
        EXPECT_NE(lastError().find(row.mentions), std::string::npos) << lastError();
    }
    EXPECT_EQ(styles.integerValue({"ExportSetup", "ImageWidth"}), 800);
    // A later preview that succeeds clears the reason.
    EXPECT_TRUE(previewOf({}));
    EXPECT_EQ(lastError(), "");
}

// The sizes follow the written file, whatever rule the writer applies (physical size included).
TEST_F(ExportPreviewTest, SizesAreThoseOfTheWrittenFile) {
    const std::vector<PictureCase> cases = {
        {"typed-width", {{"ExportSetup/ExportFormat", ExportFormat_PNG}, {"ExportSetup/ImageWidth", 517}}},
        {"screen-width",
         {{"ExportSetup/ExportFormat", ExportFormat_BMP}, {"Interface/UseOffScreenBitMap", 0}}},
        {"all-frames",
         {{"ExportSetup/ExportFormat", ExportFormat_JPEG},
          {"ExportSetup/ExportRegion", ExportRegion_AllFrames}}},
        {"physical-size",
         {{"ExportSetup/ExportFormat", ExportFormat_PNG},
          {"ExportSetup/UsePhysicalSize", 1},
          {"Interface/UseOffScreenBitMap", 0},
          {"ExportSetup/ImageWidth", 600},
          {"PrintSetup/ImageResolution", 300}}},
    };
    for (const PictureCase& row : cases) {
        SCOPED_TRACE(row.name);
        const Preview preview = previewOf(row.overrides, 200, 200);
        ASSERT_TRUE(preview) << lastError();
        const QImage written(
            QString::fromStdString(exportWith(std::string(row.name) + ".img", row.overrides)));
        EXPECT_EQ(QSize(preview->fileWidth, preview->fileHeight), written.size());
        const double resolution = valueIn(row.overrides, "PrintSetup/ImageResolution", 150);
        EXPECT_DOUBLE_EQ(preview->widthInches, written.width() / resolution);
        EXPECT_DOUBLE_EQ(preview->heightInches, written.height() / resolution);
        EXPECT_LE(preview->previewWidth, 200);
        EXPECT_LE(preview->previewHeight, 200);
        EXPECT_EQ(preview->frameCount, 0);
    }
}

TEST_F(ExportPreviewTest, VectorPagesAreMeasuredAtTheResolution) {
    const Preview preview = previewOf(
        {{"ExportSetup/ExportFormat", ExportFormat_EPS}, {"PrintSetup/ImageResolution", 200}}, 300, 300);
    ASSERT_TRUE(preview) << lastError();
    EXPECT_DOUBLE_EQ(preview->widthInches, 4.5);
    EXPECT_DOUBLE_EQ(preview->heightInches, 3.0);
    EXPECT_EQ(preview->fileWidth, 900);
    EXPECT_EQ(preview->fileHeight, 600);
    EXPECT_EQ(preview->previewWidth, 300);
    EXPECT_EQ(preview->previewHeight, 200);
}

struct SizeCase {
    const char* name;
    Overrides overrides;
};

// Real scenes written at the smallest and the largest size: every file lies within the stated
// error of the prediction made from a small preview. One row per way of encoding.
TEST_F(ExportPreviewTest, FilesLieWithinTheStatedErrorOfThePrediction) {
    const std::vector<PictureCase> formats = {
        {"png", {{"ExportSetup/ExportFormat", ExportFormat_PNG}}},
        {"png-256", {{"ExportSetup/ExportFormat", ExportFormat_PNG}, {"ExportSetup/ConvertTo256Colors", 1}}},
        {"bmp", {{"ExportSetup/ExportFormat", ExportFormat_BMP}}},
        {"jpeg", {{"ExportSetup/ExportFormat", ExportFormat_JPEG}, {"ExportSetup/Quality", 95}}},
        {"tiff-grey",
         {{"ExportSetup/ExportFormat", ExportFormat_TIFF}, {"PrintSetup/Palette", Palette_Monochrome}}},
        {"eps", {{"ExportSetup/ExportFormat", ExportFormat_EPS}}},
        {"ps-image",
         {{"ExportSetup/ExportFormat", ExportFormat_PS},
          {"ExportSetup/PrintRenderType", PrintRenderType_Image}}},
        {"wmf", {{"ExportSetup/ExportFormat", ExportFormat_WindowsMetafile}}},
    };
    for (int scene = 0; scene < 2; ++scene) {
        if (scene == 1)
            useDenseScene();
        for (const PictureCase& format : formats) {
            for (const auto& [width, resolution] : {std::pair{400, 50}, std::pair{2400, 300}}) {
                SCOPED_TRACE(std::string(format.name) + " scene " + std::to_string(scene) + " width " +
                             std::to_string(width));
                Overrides overrides = format.overrides;
                overrides.push_back({"ExportSetup/ImageWidth", double(width)});
                overrides.push_back({"PrintSetup/ImageResolution", double(resolution)});
                const Preview preview = previewOf(overrides, 160, 160);
                ASSERT_TRUE(preview) << lastError();
                const auto bytes = static_cast<double>(
                    testsupport::contentsOf(exportWith(std::string(format.name) + ".out", overrides)).size());
                EXPECT_LE(std::abs(bytes - preview->predictedFileBytes),
                          preview->predictionError * preview->predictedFileBytes)
                    << "predicted " << preview->predictedFileBytes << ", written " << bytes;
            }
        }
    }
}

TEST_F(ExportPreviewTest, WithoutAFrameThereIsNothingToPreview) {
    app.removeFrame(curves);
    app.removeFrame(surface);
    EXPECT_FALSE(previewOf({}));
    EXPECT_EQ(lastError(), "There is no frame to preview.");
}

// A movie previews its first frame and lasts one frame per time step at the animation speed.
TEST_F(ExportPreviewTest, MoviesPreviewTheirFirstFrameAndLength) {
    app.setLaterTimeSteps(curves, {{"Run", {"t", "a", "b"}, {{0, 1, 2, 3}, {9, 1, 9, 1}, {2, 2, 3, 1}}},
                                   {"Run", {"t", "a", "b"}, {{0, 1, 2, 3}, {5, 5, 5, 5}, {2, 2, 3, 1}}}});
    app.setCurrentTimeStep(2);
    const Overrides movie = {{"ExportSetup/ExportFormat", ExportFormat_MPEG4},
                             {"ExportSetup/AnimationSpeed", 4},
                             {"ExportSetup/ImageWidth", 300}};
    const Preview preview = previewOf(movie);
    ASSERT_TRUE(preview) << lastError();
    EXPECT_EQ(preview->frameCount, 3);
    EXPECT_DOUBLE_EQ(preview->durationSeconds, 0.75);
    EXPECT_EQ(app.currentTimeStep(), 2);

    // The movie as a host writes it: one frame per time step from the first.
    set({"ExportSetup", "ExportFName"}, path("run.mp4"));
    set({"ExportSetup", "ExportFormat"}, long{ExportFormat_MPEG4});
    set({"ExportSetup", "AnimationSpeed"}, 4.0);
    set({"ExportSetup", "ImageWidth"}, long{300});
    for (int step = 0; step < app.timeStepCount(); ++step) {
        app.setCurrentTimeStep(step);
        ASSERT_TRUE(QelUtilExport(step > 0)) << lastError();
    }
    ASSERT_TRUE(QelUtilExportFinish()) << lastError();
    const auto bytes = static_cast<double>(testsupport::contentsOf(path("run.mp4")).size());
    EXPECT_LE(std::abs(bytes - preview->predictedFileBytes),
              preview->predictionError * preview->predictedFileBytes)
        << "predicted " << preview->predictedFileBytes << ", written " << bytes;

    // The first frame is the still image of the first time step.
    app.setCurrentTimeStep(0);
    const Preview still =
        previewOf({{"ExportSetup/ExportFormat", ExportFormat_PNG}, {"ExportSetup/ImageWidth", 300}});
    ASSERT_TRUE(still) << lastError();
    EXPECT_LT(differingShare(pictureOf(*preview), pictureOf(*still)), 0.001);
    EXPECT_EQ(still->frameCount, 0);
}

// The preview of a huge export is drawn at the preview's size, not the file's.
TEST_F(ExportPreviewTest, HugeExportsPreviewAtThePreviewSize) {
    app.setFramePlacement(curves, 0.0, 0.0, 12.0, 0.8);
    const Preview preview = previewOf(
        {{"ExportSetup/ExportFormat", ExportFormat_PNG}, {"ExportSetup/ImageWidth", 30000}}, 600, 400);
    ASSERT_TRUE(preview) << lastError();
    EXPECT_EQ(preview->fileWidth, 30000);
    EXPECT_EQ(preview->fileHeight, 2000);
    EXPECT_EQ(preview->previewWidth, 600);
    EXPECT_EQ(preview->previewHeight, 40);
    EXPECT_GT(preview->predictedFileBytes, 0);

    // An image no writer takes is refused by the preview as by the export.
    app.setFramePlacement(curves, 0.5, 0.5, 4.5, 3.0);
    EXPECT_FALSE(
        previewOf({{"ExportSetup/ExportFormat", ExportFormat_PNG}, {"ExportSetup/ImageWidth", 30000}}));
    EXPECT_NE(lastError().find("30000 x 20000 pixels is too large"), std::string::npos) << lastError();
}

} // namespace
