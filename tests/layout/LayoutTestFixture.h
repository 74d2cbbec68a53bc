#pragma once

#include "host/QExtendedFileDialog.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/ModalDialogAnswerer.h"
#include "kernel/testing/StyleTestControl.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace qelmar::layout::test {

using namespace standin::testing;

inline const standin::StylePath includeDataPath{"FileConfig", "LayoutConfig", "IncludeData"};
inline const standin::StylePath includePreviewPath{"FileConfig", "LayoutConfig", "IncludePreview"};
inline const standin::StylePath useRelativePathsPath{"FileConfig", "LayoutConfig", "UseRelativePaths"};

inline void typeNameAndSave(QFileDialog& dialog, const QString& fileName) {
    auto& files = dynamic_cast<sdk::ui::dialogs::QExtendedFileDialog&>(dialog);
    files.fileNameEdit()->setText(fileName);
    files.buttonBox()->button(QDialogButtonBox::Save)->click();
}

// Runs one queued step on each file dialog as it opens, from inside its event loop. A dialog
// without a step, or left open by its step, is rejected and counted as a failure: no test waits.
class FileDialogSteps {
public:
    using Step = std::function<void(QFileDialog&)>;

    FileDialogSteps() {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { tick(); });
        m_poll.start(10);
    }
    void then(Step step) { m_steps.push_back(std::move(step)); }
    void saveAs(const QString& name) {
        then([name](QFileDialog& dialog) { typeNameAndSave(dialog, name); });
    }
    void cancel() {
        then([](QFileDialog& dialog) { dialog.reject(); });
    }

    std::vector<QString> titles, filters;
    int failures = 0;
    std::size_t pending() const { return m_steps.size(); }

private:
    void tick() {
        QFileDialog* dialog = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* candidate = qobject_cast<QFileDialog*>(window); candidate && candidate->isVisible())
                dialog = candidate;
        }
        // A step that processes events runs this timer again.
        if (!dialog || m_inStep)
            return;
        titles.push_back(dialog->windowTitle());
        filters.push_back(dialog->selectedNameFilter());
        if (!m_steps.empty()) {
            const Step step = std::move(m_steps.front());
            m_steps.pop_front();
            m_inStep = true;
            step(*dialog);
            m_inStep = false;
        }
        if (dialog->isVisible()) {
            ++failures;
            dialog->reject();
        }
    }

    std::deque<Step> m_steps;
    bool m_inStep = false;
    QTimer m_poll;
};

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
    StyleTestControl styles;
    ApplicationTestControl app;
    QTemporaryDir directory;
    ModalDialogAnswerer questions{5000};
    FileDialogSteps files;
    QWidget host;
    int temperature = -1, pressure = -1, velocity = -1;
};

} // namespace qelmar::layout::test
