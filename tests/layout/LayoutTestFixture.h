#pragma once

#include "common/FileDialogSteps.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/ModalDialogAnswerer.h"
#include "kernel/testing/StyleTestControl.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qelmar::layout::test {

using namespace standin::testing;
using testsupport::FileDialogSteps;
using testsupport::typeNameAndSave;

inline const standin::StylePath includeDataPath{"FileConfig", "LayoutConfig", "IncludeData"};
inline const standin::StylePath includePreviewPath{"FileConfig", "LayoutConfig", "IncludePreview"};
inline const standin::StylePath useRelativePathsPath{"FileConfig", "LayoutConfig", "UseRelativePaths"};

// Two pages: "Results" with "Temperature" and "Pressure profile", "Flow" with "Velocity field"
// and "Notes" (no data). All data sets load from files until a test changes one. The walk
// starts at "Temperature"; an active host window parents the questions.
class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(directory.isValid());
        questions.setFailureHandler([](const std::string& failure) { ADD_FAILURE() << failure; });
        const int results = app.addPage("Results");
        temperature = addFrameWithData(results, "Temperature", "temperature.plt");
        pressure = addFrameWithData(results, "Pressure profile", "pressure.plt");
        const int flow = app.addPage("Flow");
        velocity = addFrameWithData(flow, "Velocity field", "velocity.plt");
        app.addFrame(flow, "Notes");
        app.setCurrentFrame(temperature);
        host.setObjectName("host");
        host.show();
        QApplication::setActiveWindow(&host);
        kernel.clearJournal();
    }

    void TearDown() override {
        EXPECT_EQ(files.failures, 0);
        EXPECT_EQ(files.pending(), 0u);
        EXPECT_EQ(questions.pendingAnswers(), 0u);
    }

    int addFrameWithData(int page, const std::string& name, const std::string& dataFile) {
        const int frame = app.addFrame(page, name);
        DataSetContents contents{name, {"X", "Value"}, {{}, {}}};
        for (int point = 0; point < 200; ++point) {
            contents.values[0].push_back(point * 0.5);
            contents.values[1].push_back(point * point - 3.25);
        }
        app.attachDataSet(frame, contents, true, path("data/" + dataFile));
        return frame;
    }

    std::string path(const std::string& name) const {
        return directory.filePath(QString::fromStdString(name)).toStdString();
    }
    bool exists(const std::string& name) const { return QFile::exists(QString::fromStdString(path(name))); }

    // Queues the answers that write one unjournaled data set into the file.
    void writeDataSetAs(const std::string& name) {
        questions.pressButton(QMessageBox::Yes);
        files.saveAs(QString::fromStdString(path(name)));
    }

    KernelTestControl kernel;
    qelmar::standin::testing::CallRecording recording;
    StyleTestControl styles;
    ApplicationTestControl app;
    QTemporaryDir directory;
    ModalDialogAnswerer questions{5000};
    FileDialogSteps files;
    QWidget host;
    int temperature = -1, pressure = -1, velocity = -1;
};

} // namespace qelmar::layout::test
