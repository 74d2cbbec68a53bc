#include "ExportDialogDriver.h"

#include "TourContext.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qelmar::demo {

namespace {

void settle() {
    for (int round = 0; round < 3; ++round)
        QApplication::processEvents();
}

} // namespace

ExportDialogDriver::ExportDialogDriver(TourContext& tour, QDialog& dialog)
    : m_tour(tour)
    , m_dialog(dialog) {}

void ExportDialogDriver::choose(const QString& comboName, const QString& text) {
    auto* combo = usable<QComboBox>(comboName);
    if (!combo)
        return;
    const int row = combo->findText(text);
    if (row < 0) {
        giveUp(QStringLiteral("%1 does not offer \"%2\"").arg(comboName, text));
        return;
    }
    combo->setCurrentIndex(row);
    Q_EMIT combo->activated(row);
    settle();
}

void ExportDialogDriver::click(const QString& buttonName) {
    if (auto* button = usable<QAbstractButton>(buttonName)) {
        button->click();
        settle();
    }
}

void ExportDialogDriver::setChecked(const QString& buttonName, bool checked) {
    auto* button = m_ok ? control<QAbstractButton>(buttonName) : nullptr;
    if (button && button->isChecked() != checked)
        click(buttonName);
}

void ExportDialogDriver::type(const QString& fieldName, const QString& text) {
    auto* field = usable<QLineEdit>(fieldName);
    if (!field)
        return;
    field->setFocus();
    field->selectAll();
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, character.toUpper().unicode(), Qt::NoModifier, QString(character));
        QApplication::sendEvent(field, &press);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
    settle();
    if (field->text() != text)
        giveUp(QStringLiteral("%1 shows \"%2\" after typing \"%3\"").arg(fieldName, field->text(), text));
}

QString ExportDialogDriver::labelText(const QString& labelName) {
    auto* label = m_ok ? control<QLabel>(labelName) : nullptr;
    return label ? label->text() : QString();
}

void ExportDialogDriver::waitForLabel(const QString& labelName, const QString& text) {
    if (!m_ok)
        return;
    QLabel* label = control<QLabel>(labelName);
    if (!label)
        return;
    if (!m_tour.waitFor([label, &text] { return label->text().contains(text); }))
        giveUp(QStringLiteral("%1 does not show \"%2\" but \"%3\"").arg(labelName, text, label->text()));
}

void ExportDialogDriver::pressOk() {
    auto* buttons = usable<QDialogButtonBox>(QStringLiteral("buttonBox"));
    QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
    if (ok)
        ok->click();
}

template <class Widget> Widget* ExportDialogDriver::control(const QString& name) {
    auto* widget = m_dialog.findChild<Widget*>(name);
    if (!widget)
        giveUp(QStringLiteral("the export dialog has no %1").arg(name));
    return widget;
}

template <class Widget> Widget* ExportDialogDriver::usable(const QString& name) {
    if (!m_ok)
        return nullptr;
    auto* widget = control<Widget>(name);
    if (widget && (!widget->isEnabled() || !widget->isVisible())) {
        giveUp(QStringLiteral("%1 cannot be used").arg(name));
        return nullptr;
    }
    return widget;
}

void ExportDialogDriver::giveUp(const QString& why) {
    m_tour.fail(why);
    m_ok = false;
}

} // namespace qelmar::demo
