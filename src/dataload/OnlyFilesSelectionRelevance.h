#pragma once

#include "propertyframework/RelevanceInterface.h"

#include <QObject>

class QFileSystemModel;

namespace qelmar::dialogs::io {

class GenericFileLoaderQtDialog;

// True while the file dialog's selection names at least one existing file (not a folder):
// only files can be collected for loading. Asked again whenever the typed or selected names
// or the folder shown change.
class OnlyFilesSelectionRelevance : public QObject,
                                    public virtual sdk::ui::propertymanager::RelevanceInterface {
    Q_OBJECT

public:
    OnlyFilesSelectionRelevance(const QFileSystemModel& model, const GenericFileLoaderQtDialog& dialog);
    ~OnlyFilesSelectionRelevance() override;

    bool isRelevant() const override;

public Q_SLOTS:
    void fileNameOrDirectoryChanged();

private:
    const QFileSystemModel& m_model;
    const GenericFileLoaderQtDialog& m_dialog;
};

} // namespace qelmar::dialogs::io
