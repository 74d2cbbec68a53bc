#pragma once

#include <QString>

class QDialog;

namespace qelmar::demo {

class TourContext;

// Works the export dialog's controls as a user does, for the tour. The first control that is
// missing or disabled fails the tour; later calls then do nothing, so a step reads straight
// through.
class ExportDialogDriver {
public:
    ExportDialogDriver(TourContext& tour, QDialog& dialog);

    bool ok() const { return m_ok; }

    // Picks a row of a list; the bindings bring the other controls up to date at idle.
    void choose(const QString& comboName, const QString& text);
    void click(const QString& buttonName);
    // A box already as wanted is left alone, even where the format does not let it change.
    void setChecked(const QString& buttonName, bool checked);
    // Types into the field key by key and confirms with Return, which commits the edit.
    void type(const QString& fieldName, const QString& text);
    QString labelText(const QString& labelName);
    // Waits, letting the dialog work, until the label shows the text.
    void waitForLabel(const QString& labelName, const QString& text);
    void pressOk();

private:
    template <class Widget> Widget* control(const QString& name);
    template <class Widget> Widget* usable(const QString& name);
    void giveUp(const QString& why);

    TourContext& m_tour;
    QDialog& m_dialog;
    bool m_ok = true;
};

} // namespace qelmar::demo
