#pragma once

#include "host/DialogInterface.h"
#include "propertyframework/RelevanceInterface.h"

#include <QDialog>

#include <memory>

class QAction;

namespace qelmar::sdk::ui::dialogs {

// Base of the application's Qt dialogs. A dialog stays up only while its keep-up relevance
// holds (no relevance: always); once it stops holding, the dialog is dropped. OK and Cancel buttons
// of the dialog's button boxes lead to accept() and reject(), their Help buttons and F1 to the help action.
class QtDialogAbstract : public QDialog, public qelmar::dialogs::common::DialogInterface {
public:
    QtDialogAbstract(QWidget* parent, propertymanager::RelevancePtr keepUpRelevance,
                     Qt::WindowFlags flags = {});
    ~QtDialogAbstract() override;

    void done(int result) override;
    // Shows the dialog; a modal one runs until it is closed, and the result says whether it
    // was accepted. A dialog whose relevance does not hold is dropped instead of shown.
    bool launch() override;
    virtual void setHelpAction(QAction* action);
    // Hides the dialog without asking anything and, if asked for, deletes it later.
    void drop() override;

    QAction* helpAction() const;
    bool isKeptUp() const;
    // Modeless dialogs that are of no use once dropped delete themselves then.
    void setDeleteWhenDropped(bool deleteWhenDropped);
    // Remembers size and position across runs under this settings key.
    void setPersistSizeAndPosition(const QString& settingsKey);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void routeButtonBoxes();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
