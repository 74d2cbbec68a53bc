#pragma once

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace qelmar::standin::testing {
class KernelTestControl;
class ModalDialogAnswerer;
} // namespace qelmar::standin::testing

namespace qelmar::demo {

class DemoMainWindow;

// What one run of the scripted tour shares between the features: the output folder, the
// manifest of the files written into it, the kernel's scripted answers and the answerer of
// the toolkit's modal dialogs. A feature step that goes wrong calls fail(); the tour then
// ends with a non-zero exit status.
class TourContext {
public:
    TourContext(const QString& folder, DemoMainWindow& window);
    ~TourContext();

    DemoMainWindow& window() const;
    // Absolute path of a file in the tour folder.
    QString filePath(const QString& fileName) const;
    // Lists a produced file in "tour-manifest.txt"; it is checked to exist and be non-empty.
    void recordFile(const QString& fileName, const QString& description);
    // Writes a PNG of the widget (after letting pending layout and paint events run) and
    // records it.
    void screenshot(QWidget& widget, const QString& fileName, const QString& description);
    void fail(const QString& why);
    bool failed() const;

    // Spins the event loop until the condition holds or the timeout passes.
    bool waitFor(const std::function<bool()>& condition, int timeoutMilliseconds = 5000);

    qelmar::standin::testing::KernelTestControl& kernel() const;
    qelmar::standin::testing::ModalDialogAnswerer& modalAnswers() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::demo
