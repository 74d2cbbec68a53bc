#pragma once

// The kernel the export benches work against: one page with a curve frame, current, and a shown
// parent window for the dialog.

#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/StyleTestControl.h"

#include "host/QExtendedFileDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cmath>

namespace qelmar::bench {

// The width of the PNG the export benches write.
constexpr int exportWidth = 4000;

// A fresh kernel with one page and a curve frame, current, and a shown parent window.
class ExportBenchKernel {
public:
    ExportBenchKernel() {
        const int page = m_app.addPage("Results");
        const int frame = m_app.addFrame(page, "Temperature");
        standin::testing::DataSetContents contents{"Temperature", {"Time", "T"}, {{}, {}}};
        for (int point = 0; point < 400; ++point) {
            contents.values[0].push_back(point);
            contents.values[1].push_back(290.0 + 12.0 * std::sin(point / 40.0));
        }
        m_app.attachDataSet(frame, contents, true);
        m_app.setCurrentFrame(frame);
        host.show();
        QApplication::processEvents();
    }

    QString filePath() const { return m_folder.filePath(QStringLiteral("bench.png")); }
    bool ready() const { return m_folder.isValid(); }
    standin::testing::StyleTestControl& styles() { return m_styles; }

    // Each export writes a new file, so that the file dialog never asks about replacing one.
    void betweenExports() { QFile::remove(filePath()); }

    // True when the export wrote an image of the width asked for.
    bool wroteExpectedImage() const { return QImageReader(filePath()).size().width() == exportWidth; }

    QWidget host;

private:
    standin::testing::KernelTestControl m_kernel;
    standin::testing::StyleTestControl m_styles;
    standin::testing::ApplicationTestControl m_app;
    QTemporaryDir m_folder;
};

// Answers the file dialog from inside its event loop as soon as it is up, without the delay a
// polling interval would add to what is measured.
inline void saveInNextFileDialog(const QString& fileName) {
    QTimer::singleShot(0, [fileName] {
        auto* files =
            dynamic_cast<qelmar::sdk::ui::dialogs::QExtendedFileDialog*>(QApplication::activeModalWidget());
        if (!files || !files->isVisible()) {
            saveInNextFileDialog(fileName);
            return;
        }
        files->fileNameEdit()->setText(fileName);
        files->buttonBox()->button(QDialogButtonBox::Save)->click();
    });
}

} // namespace qelmar::bench
