#pragma once

#include "host/DialogsExport.h"
#include "host/KernelExport.h"
#include "host/QtDialogAbstract.h"
#include "propertyframework/RelevanceInterface.h"

#include <memory>
#include <string>

namespace qelmar::dialogs::io {

// The window in which the user picks an export format and its options, then a file, and
// exports the current frame, all frames or the work area; in animation mode it only stores the
// options and the file name for the animation the host runs next. One window per process.
class QELMAR_DIALOGS_EXPORT ExportDialog : public qelmar::sdk::ui::dialogs::QtDialogAbstract {
public:
    enum Mode_e {
        Mode_StillImage = 0,
        Mode_Animation = 1,
    };

    // What the host adds to the dialog; all off by default, and with all off the dialog is the
    // plain export form.
    struct Additions {
        // A panel beside the form: a preview of the file, its size in pixels and in print, a
        // transparent background for PNG and TIFF, and named presets.
        bool previewPanel = false;
        // PDF and SVG in the still-image list.
        bool extraFormats = false;
        // A progress dialog with Cancel for a still export that takes more than a second.
        bool exportProgress = false;
    };
    // For the dialog that exists and every later one.
    static void setAdditions(const Additions& additions);
    static Additions additions();

    // The one dialog, created with the first call's parent; every call sets the mode. The dialog
    // is a Qt child of that parent, which owns it: the caller never deletes the pointer.
    static ExportDialog* getInstance(QWidget& parent, Mode_e mode);
    // True while a frame exists: there is something to export.
    static qelmar::sdk::ui::propertymanager::RelevancePtr relevance();
    // The format's file type: its extension without the dot, its file pattern and its
    // description; all three empty for a format the kernel cannot write to a file.
    static void getExportFileSettings(ExportFormat_e format, std::string& extension, std::string& pattern,
                                      std::string& description);

    ExportDialog(QWidget& parent, Mode_e mode);
    ~ExportDialog() override;

    // Commits the options to the kernel without exporting.
    void saveOptions();
    void done(int result) override;

private:
    bool saveOptionsAndDoExport();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::dialogs::io
