#pragma once

#include "common/FileDialogSteps.h"
#include "export/ExportPropertiesGenerated.h"
#include "export/ExportPropertiesManager.h"
#include "host/FilenameStrategy.h"
#include "host/Kernel.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/StyleTestControl.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qelmar::exporting::test {

using namespace standin::testing;
using sdk::ui::propertymanager::ExportPropertiesGenerated;
using sdk::ui::propertymanager::ExportPropertiesManager;
using testsupport::FileDialogSteps;

inline const standin::StylePath formatPath{"ExportSetup", "ExportFormat"};
inline const standin::StylePath regionPath{"ExportSetup", "ExportRegion"};
inline const standin::StylePath fileNamePath{"ExportSetup", "ExportFName"};
inline const standin::StylePath imageWidthPath{"ExportSetup", "ImageWidth"};
inline const standin::StylePath palettePath{"PrintSetup", "Palette"};
inline const standin::StylePath resolutionPath{"PrintSetup", "ImageResolution"};
inline const standin::StylePath offscreenPath{"Interface", "UseOffScreenBitMap"};

// One page with a curve frame ("Temperature", current) and, when asked, a three-dimensional
// frame; the export settings at the kernel's defaults, with the width typed by the user.
class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(directory.isValid());
        sdk::ui::FilenameStrategy::getManager().reset();
        const int page = app.addPage("Results");
        temperature = app.addFrame(page, "Temperature");
        DataSetContents contents{"Temperature", {"Time", "T"}, {{}, {}}};
        for (int point = 0; point < 50; ++point) {
            contents.values[0].push_back(point);
            contents.values[1].push_back(20.0 + (point % 7));
        }
        app.attachDataSet(temperature, contents, true);
        app.setCurrentFrame(temperature);
        host.setObjectName("host");
        host.show();
        QApplication::setActiveWindow(&host);
    }

    void TearDown() override {
        EXPECT_EQ(files.failures, 0);
        EXPECT_EQ(files.pending(), 0u);
    }

    void addThreeDimensionalFrame() { app.addFrame(0, "Velocity field", 1); }

    std::string path(const std::string& name) const {
        return directory.filePath(QString::fromStdString(name)).toStdString();
    }

    static std::string dimensionsOf(ExportFormat_e format, ExportRegion_e region) {
        const int width = QelUtilGetDefaultExportImageWidth(format, region);
        return std::to_string(width) + " x " + std::to_string(QelUtilGetExportImageHeight(width, region));
    }

    KernelTestControl kernel;
    qelmar::standin::testing::CallRecording recording;
    StyleTestControl styles;
    ApplicationTestControl app;
    QTemporaryDir directory;
    FileDialogSteps files;
    QWidget host;
    int temperature = -1;
};

} // namespace qelmar::exporting::test
