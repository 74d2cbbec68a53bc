#include "ExportTestFixture.h"

#include "host/ExportFormats.h"
#include "host/KernelErrors.h"
#include "host/KernelExport.h"
#include "host/KernelString.h"
#include "propertyframework/BoundedValueValidator.h"
#include "propertyframework/InvalidPropertyValueException.h"
#include "propertyframework/Property.h"

#include <QFile>

#include <set>
#include <utility>

namespace qelmar::exporting::test {

namespace {

std::vector<std::string> labelsOf(const ExportPropertiesManager::ModelPtr<ExportFormat_e>& model) {
    std::vector<std::string> labels;
    for (int row = 0; row < model->size(); ++row)
        labels.push_back(model->getStr(row));
    return labels;
}

std::string rejectionOf(const std::function<void()>& change) {
    try {
        change();
    } catch (const InvalidPropertyValueException& rejected) {
        return rejected.what();
    }
    return "accepted";
}

} // namespace

using ExportPropertiesTest = ExportTest;

TEST_F(ExportPropertiesTest, AModalSetHoldsValuesUntilSubmittedAModelessOneWritesAtOnce) {
    ExportPropertiesGenerated modal(true, toolbox::StringList());
    modal.exportFormat()->setValue(ExportFormat_TIFF);
    EXPECT_EQ(styles.integerValue(formatPath), ExportFormat_PNG);
    modal.submitProperties();
    EXPECT_EQ(styles.integerValue(formatPath), ExportFormat_TIFF);

    ExportPropertiesGenerated nested(&modal, toolbox::StringList());
    nested.exportRegion()->setValue(ExportRegion_AllFrames);
    EXPECT_EQ(styles.integerValue(regionPath), ExportRegion_CurrentFrame);

    ExportPropertiesGenerated modeless(false, toolbox::StringList());
    modeless.exportFormat()->setValue(ExportFormat_EPS);
    EXPECT_EQ(styles.integerValue(formatPath), ExportFormat_EPS);
}

TEST_F(ExportPropertiesTest, ADecoratorInstalledBySetterIsReadWhileSubmittingStillReachesTheKernel) {
    ExportPropertiesGenerated set(true, toolbox::StringList());
    const auto kernelWidth = set.imageWidth();
    const auto bounded =
        std::make_shared<Property<int>>(500, std::make_shared<BoundedValueValidator<int>>(4, 9));
    set.setImageWidth(bounded);
    EXPECT_EQ(set.imageWidth(), bounded);
    kernelWidth->setValue(640);
    set.submitProperties();
    EXPECT_EQ(styles.integerValue(imageWidthPath), 640);
}

TEST_F(ExportPropertiesTest, TheFirstRefusedValueEndsTheSubmitAndLeavesLaterValuesPending) {
    ExportPropertiesGenerated set(true, toolbox::StringList());
    set.exportFormat()->setValue(ExportFormat_BMP);
    set.imageWidth()->setValue(1000);
    set.resolution()->setValue(200);
    styles.refuseWrites(imageWidthPath, std::string("Too wide for this printer."));
    EXPECT_THROW(set.submitProperties(), InvalidPropertyValueException);
    EXPECT_EQ(styles.integerValue(formatPath), ExportFormat_BMP);
    EXPECT_NE(styles.integerValue(resolutionPath), 200);
}

// Each number's range is checked against the kernel's table elsewhere; here, what a refusal
// tells the user, and the bounds that are no setting's own.
TEST_F(ExportPropertiesTest, DecoratorsBoundEveryNumberTheUserTypes) {
    ExportPropertiesGenerated set(true, toolbox::StringList());
    ExportPropertiesManager manager(set);
    EXPECT_EQ(rejectionOf([&] { set.imageWidth()->setValue(3); }),
              "The value must be greater than or equal to 4 and less than or equal to 32766.");
    EXPECT_NE(rejectionOf([&] { set.animationSpeed()->setValue(0.0); }), "accepted");
    EXPECT_EQ(rejectionOf([&] { set.animationSpeed()->setValue(0.001); }), "accepted");

    // The resolution limit follows the region: the whole work area allows less than one frame.
    const int frameLimit = QelAppGetVectorExportMaxDPI(ExportRegion_CurrentFrame);
    const std::string frameRange =
        "The value must be within the range 1 to " + std::to_string(frameLimit) + ".";
    EXPECT_EQ(rejectionOf([&] { set.resolution()->setValue(frameLimit); }), "accepted");
    EXPECT_EQ(rejectionOf([&] { set.resolution()->setValue(frameLimit + 1); }), frameRange);
    EXPECT_EQ(rejectionOf([&] { set.resolution()->setValue(0); }), frameRange);
    set.exportRegion()->setValue(ExportRegion_WorkArea);
    const int areaLimit = QelAppGetVectorExportMaxDPI(ExportRegion_WorkArea);
    EXPECT_LT(areaLimit, frameLimit);
    EXPECT_EQ(rejectionOf([&] { set.resolution()->setValue(areaLimit + 1); }),
              "The value must be within the range 1 to " + std::to_string(areaLimit) + ".");
}

// Flash keeps its frame rate in 1/256 frames per second: a slower speed would be written as 0.
TEST_F(ExportPropertiesTest, FlashRefusesSpeedsItsFilesCannotHold) {
    ExportPropertiesGenerated set(true, toolbox::StringList());
    ExportPropertiesManager manager(set);
    set.exportFormat()->setValue(ExportFormat_Flash);
    EXPECT_EQ(rejectionOf([&] { set.animationSpeed()->setValue(0.003); }),
              "The value must be greater than or equal to 0.00390625 and less than or equal to 200.");
    EXPECT_EQ(rejectionOf([&] { set.animationSpeed()->setValue(0.004); }), "accepted");
    set.exportFormat()->setValue(ExportFormat_AVI);
    EXPECT_EQ(rejectionOf([&] { set.animationSpeed()->setValue(0.003); }), "accepted");

    // A speed set for another format reaches the kernel, which refuses to start the movie.
    styles.setFromElsewhere(formatPath, long{ExportFormat_Flash});
    styles.setFromElsewhere({"ExportSetup", "AnimationSpeed"}, 0.002);
    styles.setFromElsewhere(fileNamePath, path("slow.swf"));
    EXPECT_FALSE(QelUtilExport(false));
    const std::string reason = sdk::KernelString(QelUtilGetLastErrorMessage()).c_str();
    EXPECT_NE(reason.find("1/256"), std::string::npos) << reason;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("slow.swf"))));
}

using sdk::ui::propertymanager::RelevancePtr;
using Relevances = std::set<std::string>;

struct FormatCase {
    const char* name;
    ExportFormat_e format;
    PrintRenderType_e renderType;
    EPSPreviewImage_e preview;
    bool color;
    bool threeDimensionalFrame;
    // The control relevances that hold; every other one is false.
    Relevances expected;
};

class ExportRelevanceTest : public ExportTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ExportRelevanceTest, ControlsApplyToTheFormatsTheyMeanSomethingFor) {
    const FormatCase& c = GetParam();
    if (c.threeDimensionalFrame)
        addThreeDimensionalFrame();
    ExportPropertiesGenerated set(true, toolbox::StringList());
    ExportPropertiesManager manager(set);
    manager.useUserDefinedWidth()->setValue(true);
    set.useOffscreenBitmap()->setValue(true);
    set.exportFormat()->setValue(c.format);
    set.renderType()->setValue(c.renderType);
    set.epsPreviewImageType()->setValue(c.preview);
    manager.color()->setValue(c.color);

    const std::pair<const char*, RelevancePtr> relevances[] = {
        {"colour", manager.colorRelevance()},
        {"width", manager.imageWidthRelevance()},
        {"256 colours", manager.convertTo256ColorsRelevance()},
        {"resolution", manager.imageEmbeddedInVectorRelevance()},
        {"precision", manager.precisionRelevance()},
        {"3D sorting", manager.force3DSortingRelevance()},
        {"preview depth", manager.epsPreviewDepthRelevance()},
        {"preview size", manager.epsPreviewSizeRelevance()},
    };
    Relevances actual;
    for (const auto& [name, relevance] : relevances) {
        if (relevance->isRelevant())
            actual.insert(name);
    }
    EXPECT_EQ(actual, c.expected);
    EXPECT_NE(manager.grayscaleDepthRelevance()->isRelevant(),
              manager.convertTo256ColorsRelevance()->isRelevant());
    // Exactly one format's page applies, and the named relevance of the dialog's formats is it.
    int formatsShown = 0;
    for (const auto& format : sdk::exportFormats())
        formatsShown += manager.formatRelevance(format.value)->isRelevant();
    EXPECT_EQ(formatsShown, 1);
    EXPECT_TRUE(manager.formatRelevance(c.format)->isRelevant());
}

constexpr auto vector = PrintRenderType_Vector;
constexpr auto image = PrintRenderType_Image;
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    EveryFormat, ExportRelevanceTest,
    ::testing::Values(
        FormatCase{"BmpInColour", ExportFormat_BMP, vector, EPSPreviewImage_None, true, true, {"width", "256 colours"}},
        FormatCase{"PngMonochrome", ExportFormat_PNG, vector, EPSPreviewImage_TIFF, false, false, {"width"}},
        FormatCase{"TiffInColour", ExportFormat_TIFF, vector, EPSPreviewImage_None, true, false, {"colour", "width", "256 colours"}},
        FormatCase{"TiffMonochrome", ExportFormat_TIFF, vector, EPSPreviewImage_None, false, false, {"colour", "width"}},
        FormatCase{"JpegRenderedAsImage", ExportFormat_JPEG, image, EPSPreviewImage_TIFF, true, true, {"width"}},
        FormatCase{"Avi", ExportFormat_AVI, vector, EPSPreviewImage_None, true, false, {"width"}},
        FormatCase{"RasterMetafile", ExportFormat_RasterMetafile, vector, EPSPreviewImage_None, true, false, {"width"}},
        FormatCase{"EpsVectorTiffPreview3D", ExportFormat_EPS, vector, EPSPreviewImage_TIFF, true, true,
                   {"colour", "precision", "3D sorting", "preview depth", "preview size"}},
        FormatCase{"EpsVectorEpsiPreviewFlat", ExportFormat_EPS, vector, EPSPreviewImage_EPSIV2, true, false,
                   {"colour", "precision", "preview size"}},
        FormatCase{"EpsImageNoPreview3D", ExportFormat_EPS, image, EPSPreviewImage_None, false, true, {"colour", "resolution"}},
        FormatCase{"PostScriptVector3D", ExportFormat_PS, vector, EPSPreviewImage_TIFF, true, true, {"colour", "precision", "3D sorting"}},
        FormatCase{"PostScriptImage3D", ExportFormat_PS, image, EPSPreviewImage_TIFF, true, true, {"colour", "resolution"}},
        FormatCase{"WmfRenderedAsImage", ExportFormat_WindowsMetafile, image, EPSPreviewImage_None, true, false,
                   {"colour", "width", "3D sorting"}}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(ExportPropertiesTest, TheWidthFieldNeedsAnOffscreenImageAndATypedWidth) {
    ExportPropertiesGenerated set(true, toolbox::StringList());
    ExportPropertiesManager manager(set);
    set.exportFormat()->setValue(ExportFormat_PNG);
    manager.useUserDefinedWidth()->setValue(true);
    set.useOffscreenBitmap()->setValue(false);
    EXPECT_FALSE(manager.imageWidthRelevance()->isRelevant());
    set.useOffscreenBitmap()->setValue(true);
    set.useSuperSampleAntiAliasing()->setValue(true);
    EXPECT_TRUE(manager.imageWidthRelevance()->isRelevant());
    EXPECT_TRUE(manager.superSampleFactorRelevance()->isRelevant());
    manager.useUserDefinedWidth()->setValue(false);
    EXPECT_FALSE(manager.imageWidthRelevance()->isRelevant());
}

TEST_F(ExportPropertiesTest, TheFormatListFollowsTheMode) {
    ExportPropertiesGenerated set(true, toolbox::StringList());
    ExportPropertiesManager manager(set);
    const auto formats = manager.exportFormatModel();
    int changes = 0;
    const auto counting = formats->connectToDataChangedSignal([&] { ++changes; });
    EXPECT_EQ(labelsOf(formats),
              (std::vector<std::string>{"BMP", "EPS", "JPEG", "PNG", "PostScript", "TIFF", "WMF"}));
    manager.animationMode(true);
    EXPECT_EQ(labelsOf(formats),
              (std::vector<std::string>{"AVI", "Flash", "MPEG-4", "Raster Metafile", "WMV"}));
    EXPECT_EQ(formats->get(3), ExportFormat_RasterMetafile);
    EXPECT_EQ(changes, 1);
}

TEST_F(ExportPropertiesTest, SavingWithTheScreenWidthReplacesATypedWidthAndCancelRestoresTheChoice) {
    ExportPropertiesGenerated set(true, toolbox::StringList());
    ExportPropertiesManager manager(set);
    manager.useUserDefinedWidth()->setValue(true);
    set.imageWidth()->setValue(1234);
    manager.saveChanges();
    EXPECT_EQ(styles.integerValue(imageWidthPath), 1234);

    manager.useUserDefinedWidth()->setValue(false);
    manager.discardChanges();
    EXPECT_TRUE(manager.useUserDefinedWidth()->retrieveValue());

    manager.useUserDefinedWidth()->setValue(false);
    set.exportRegion()->setValue(ExportRegion_AllFrames);
    manager.saveChanges();
    EXPECT_EQ(styles.integerValue(imageWidthPath),
              QelUtilGetDefaultExportImageWidth(ExportFormat_PNG, ExportRegion_AllFrames));
    manager.useUserDefinedWidth()->setValue(true);
    manager.discardChanges();
    EXPECT_FALSE(manager.useUserDefinedWidth()->retrieveValue());
}

TEST_F(ExportPropertiesTest, DimensionsFollowTheWidthChoiceAndInVectorModeTheUnsavedResolution) {
    ExportPropertiesGenerated set(true, toolbox::StringList());
    ExportPropertiesManager manager(set);
    manager.useUserDefinedWidth()->setValue(true);
    set.imageWidth()->setValue(640);
    EXPECT_EQ(manager.imageDimensions()->retrieveValue(),
              "640 x " + std::to_string(QelUtilGetExportImageHeight(640, ExportRegion_CurrentFrame)));
    manager.useUserDefinedWidth()->setValue(false);
    EXPECT_EQ(manager.imageDimensions()->retrieveValue(),
              dimensionsOf(ExportFormat_PNG, ExportRegion_CurrentFrame));

    const long kernelResolution = styles.integerValue(resolutionPath);
    set.exportFormat()->setValue(ExportFormat_EPS);
    set.resolution()->setValue(static_cast<int>(kernelResolution) / 2);
    const std::string atHalf = manager.imageDimensions()->retrieveValue();
    set.resolution()->setValue(static_cast<int>(kernelResolution));
    EXPECT_NE(manager.imageDimensions()->retrieveValue(), atHalf);
    EXPECT_EQ(manager.imageDimensions()->retrieveValue(),
              dimensionsOf(ExportFormat_EPS, ExportRegion_CurrentFrame));
    // The kernel was asked with the dialog's resolution but keeps its own until OK.
    set.resolution()->setValue(static_cast<int>(kernelResolution) / 2);
    EXPECT_EQ(styles.integerValue(resolutionPath), kernelResolution);
    EXPECT_EQ(set.resolution()->retrieveValue(), kernelResolution / 2);
}

TEST_F(ExportPropertiesTest, AMonochromePaletteSurvivesOnlyForFormatsThatOfferTheColourChoice) {
    styles.setFromElsewhere(palettePath, long{0});
    styles.setFromElsewhere(formatPath, long{ExportFormat_PNG});
    {
        ExportPropertiesGenerated set(true, toolbox::StringList());
        ExportPropertiesManager manager(set);
        EXPECT_TRUE(manager.color()->retrieveValue());
        EXPECT_EQ(styles.integerValue(palettePath), 0);
    }
    styles.setFromElsewhere(formatPath, long{ExportFormat_TIFF});
    ExportPropertiesGenerated set(true, toolbox::StringList());
    ExportPropertiesManager manager(set);
    EXPECT_FALSE(manager.color()->retrieveValue());
    manager.color()->setValue(true);
    manager.saveChanges();
    EXPECT_EQ(styles.integerValue(palettePath), Palette_Color);
}

TEST_F(ExportPropertiesTest, TheWidthChoiceStartsFromTheOffscreenSettingAndOutlivesTheManager) {
    {
        ExportPropertiesGenerated set(true, toolbox::StringList());
        ExportPropertiesManager manager(set);
        manager.useUserDefinedWidth()->setValue(false);
    }
    styles.setFromElsewhere(offscreenPath, false);
    ExportPropertiesGenerated set(true, toolbox::StringList());
    ExportPropertiesManager manager(set);
    EXPECT_TRUE(manager.useUserDefinedWidth()->retrieveValue());
    EXPECT_FALSE(manager.useOffscreenImageRelevance()->isRelevant());
}

} // namespace qelmar::exporting::test
