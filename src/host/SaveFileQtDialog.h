#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace qelmar::sdk::ui::dialogs {

class QExtendedFileDialog;

// Asks the user for one file to save. It starts browsing in the folder of startPath (a file or
// a folder; the file-name strategy's default folder when empty) and proposes fileName there; a
// proposed or typed name without extension gets the selected filter's. The Help button opens
// the given help page.
class SaveFileQtDialog : public QObject {
public:
    SaveFileQtDialog(QWidget* parent, const QString& title, const std::string& startPath,
                     const std::string& fileName, const std::vector<std::string>& filterTexts,
                     int initialFilterIndex, const QString& helpPage);
    SaveFileQtDialog(QWidget* parent, const QString& title, const std::string& startPath,
                     const std::string& fileName, const std::string& filterText, const QString& helpPage);
    ~SaveFileQtDialog() override;

    // Runs the dialog modally; true when the user accepted a file.
    virtual bool launch();

    // The user's choice after acceptance: the absolute file name, the filter text and the
    // filter's index in the list given to the constructor (the writer that saves the file).
    std::string selectedFilename() const;
    std::string selectedFilter() const;
    int selectedWriter() const;

    QExtendedFileDialog* dialog() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
