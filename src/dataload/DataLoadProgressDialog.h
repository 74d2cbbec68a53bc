#pragma once

#include "host/DialogsExport.h"
#include "host/KernelDataLoadProgress.h"

#include <memory>
#include <string>

class QProgressDialog;
class QWidget;

namespace qelmar::dialogs::io {

// Follows a load of several files: a "Loading Data" progress window with Cancel once the load
// has taken a second, and a question for each file that cannot be read (skip it, skip every bad
// file of the load, or load nothing). Registered once, it serves every load that follows;
// without registration loads go on as before, silently, and a bad file fails the whole load.
class QELMAR_DIALOGS_EXPORT DataLoadProgressDialog {
public:
    // Registers the kernel callbacks once; later calls do nothing. The parent must outlive the
    // registration: the windows open over it.
    static void registerCallbacks(QWidget& parent);

    explicit DataLoadProgressDialog(QWidget& parent);
    ~DataLoadProgressDialog();
    DataLoadProgressDialog(const DataLoadProgressDialog&) = delete;
    DataLoadProgressDialog& operator=(const DataLoadProgressDialog&) = delete;

    // One report of the kernel; false once the user pressed Cancel.
    bool showProgress(const DataLoadProgress_s& progress);
    // Asks the user about a file that could not be read.
    DataLoadBadFileAnswer_e askAboutBadFile(const std::string& file, const std::string& reason);
    // The progress window of the load under way; null between loads.
    QProgressDialog* progressWindow() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::dialogs::io
