#pragma once

#include "host/DialogsExport.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace qelmar::dialogs::io {

// The dialog the application saves its layout with: a save-file dialog offering a layout that
// links to its data files and a package that carries them, with the option that applies to
// the chosen kind. Typical use: if (dialog.launch()) dialog.saveLayout();
class QELMAR_DIALOGS_EXPORT SaveLayoutDialog {
public:
    enum FileType {
        // A layout that refers to its data files.
        LinkedData = 0,
        // A layout package including its data.
        PackagedData = 1
    };

    SaveLayoutDialog(QWidget* parent, const std::string& startPath, const std::string& fileName);
    virtual ~SaveLayoutDialog();
    SaveLayoutDialog(const SaveLayoutDialog&) = delete;
    SaveLayoutDialog& operator=(const SaveLayoutDialog&) = delete;

    // Runs the dialog modally; true when the user accepted a file.
    virtual bool launch();
    // Saves the layout into the accepted file; true when it was saved.
    bool saveLayout();
    FileType fileType() const;

    std::string selectedFilename() const;
    std::string selectedFilter() const;
    int selectedWriter() const;

    // One filter text per supported file type, in the order the dialog offers them.
    static const std::vector<std::string>& filterDescriptions();
    static std::string filterForType(FileType type);
    // The type of one of filterDescriptions(); LinkedData for any other text.
    static FileType lookupFileType(const QString& filterText);
    // The index of the filter whose pattern matches the name's extension in any case; 0 (a
    // linked layout) for a name without a known extension.
    static int chooseFilterId(const std::string& fileName);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::dialogs::io
