#pragma once

// What a user does in the export dialog, for the suites that drive the real one.

#include "ExportTestFixture.h"

#include "export/ExportDialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QTest>

namespace qelmar::exporting::test {

using dialogs::io::ExportDialog;

template <class Widget = QWidget> inline Widget* control(QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Picks a row as the user does; the bindings bring the other controls up to date at idle.
inline void choose(QWidget& dialog, const char* comboName, const QString& text) {
    auto* combo = control<QComboBox>(dialog, comboName);
    const int row = combo->findText(text);
    ASSERT_GE(row, 0) << text.toStdString();
    combo->setCurrentIndex(row);
    Q_EMIT combo->activated(row);
    QCoreApplication::processEvents();
}

inline void typeInto(QWidget& dialog, const char* fieldName, const QString& text) {
    auto* field = control<QLineEdit>(dialog, fieldName);
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    QCoreApplication::processEvents();
}

inline void click(QWidget& dialog, const char* buttonName) {
    control<QAbstractButton>(dialog, buttonName)->click();
    QCoreApplication::processEvents();
}

inline QStringList itemsOf(QComboBox* combo) {
    QStringList items;
    for (int row = 0; row < combo->count(); ++row)
        items << combo->itemText(row);
    return items;
}

class ExportDialogTest : public ExportTest {
protected:
    ExportDialog& open(ExportDialog::Mode_e mode = ExportDialog::Mode_StillImage) {
        ExportDialog* dialog = ExportDialog::getInstance(host, mode);
        dialog->show();
        QCoreApplication::processEvents();
        return *dialog;
    }

    void pressOk(ExportDialog& dialog) {
        control<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        QCoreApplication::processEvents();
    }

    // Looks at the proposal of the next file dialog, then saves under `name` in the temporary folder.
    void expectProposalThenSave(const QString& folder, const QString& proposedName, const std::string& name) {
        files.then([=](QFileDialog& dialog) {
            EXPECT_EQ(dialog.directory().absolutePath(), folder);
            EXPECT_EQ(dynamic_cast<sdk::ui::dialogs::QExtendedFileDialog&>(dialog).fileNameEdit()->text(),
                      proposedName);
            testsupport::typeNameAndSave(dialog, QString::fromStdString(path(name)));
        });
    }

    QString folder() const { return QDir(directory.path()).absolutePath(); }
};

} // namespace qelmar::exporting::test
