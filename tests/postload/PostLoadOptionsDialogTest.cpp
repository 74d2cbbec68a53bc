#include "postload/PostLoadOptionsDialog.h"

#include "host/StringList.h"
#include "kernel/MatchVariables.h"
#include "kernel/testing/KernelTestControl.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

using qelmar::dialogs::io::PostLoadOptionsDialog;
using qelmar::standin::testing::KernelTestControl;
using qelmar::toolbox::StringList;
using Texts = std::vector<std::string>;

// The registration outlives every test, as in an application; so does the widget it names.
QWidget& host() {
    static QWidget* widget = new QWidget;
    return *widget;
}

class PostLoadOptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { PostLoadOptionsDialog::registerCallback(host()); }

    // Asks the registered callback as the kernel's load does; `whileShown` runs inside the modal
    // run, if there is one. Null stands for a cancelled load.
    std::optional<Texts> match(StringList existing, std::vector<StringList> files,
                               std::function<void(QDialog&)> whileShown) {
        std::vector<StringList_s*> handles;
        for (const StringList& file : files)
            handles.push_back(file.getRef());
        QTimer::singleShot(0, [this, whileShown] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            shown = true;
            cursorWhileShown = QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape()
                                                                 : Qt::BitmapCursor;
            whileShown(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        StringList_s* answer = qelmar::standin::matchVariables(existing.getRef(), handles.data(),
                                                               static_cast<long>(handles.size()));
        QCoreApplication::processEvents();
        if (!answer)
            return std::nullopt;
        return texts(StringList(answer));
    }

    static Texts texts(const StringList& list) {
        Texts result;
        for (long i = 0; i < list.size(); ++i)
            result.push_back(list.get(i));
        return result;
    }

    template <typename T> static T& child(QDialog& dialog, const char* name) {
        T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }

    static void press(QDialog& dialog, const char* name) {
        QTest::mouseClick(&child<QPushButton>(dialog, name), Qt::LeftButton);
    }

    static void pressBoxButton(QDialog& dialog, QDialogButtonBox::StandardButton which) {
        QTest::mouseClick(child<QDialogButtonBox>(dialog, "PostLoadOptions_buttonBox").button(which),
                          Qt::LeftButton);
    }

    KernelTestControl kernel;
    bool shown = false;
    Qt::CursorShape cursorWhileShown = Qt::BitmapCursor;
};

TEST_F(PostLoadOptionsDialogTest, RegistersWithTheKernelOnceAndKeepsOneWindow) {
    kernel.clearJournal();
    PostLoadOptionsDialog::registerCallback(host());
    QWidget other;
    PostLoadOptionsDialog::registerCallback(other);
    EXPECT_FALSE(kernel.wasCalled("QelEngMatchVariablesRegisterCallback"));
    EXPECT_TRUE(qelmar::standin::hasMatchVariablesCallback());
    PostLoadOptionsDialog* dialog = PostLoadOptionsDialog::getInstance(host());
    EXPECT_EQ(PostLoadOptionsDialog::getInstance(other), dialog);
    EXPECT_EQ(dialog->parentWidget(), &host());
}

TEST_F(PostLoadOptionsDialogTest, MatchingNamesLoadTheDataSetWithoutAsking) {
    const auto answer = match({"X", "Y", "X"}, {{"x", " Y"}, {"X"}}, [](QDialog&) {});
    EXPECT_FALSE(shown);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, (Texts{"X", "Y"}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(PostLoadOptionsDialogTest, CancelCancelsTheLoadAndRestoresTheCursor) {
    const auto answer =
        match({"X"}, {{"X", "V"}}, [](QDialog& dialog) { pressBoxButton(dialog, QDialogButtonBox::Cancel); });
    EXPECT_TRUE(shown);
    EXPECT_EQ(cursorWhileShown, Qt::ArrowCursor);
    EXPECT_FALSE(answer.has_value());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(PostLoadOptionsDialogTest, TheWindowOffersItsCommandsAsTheSelectionsAllow) {
    const auto answer = match({"X"}, {{"X", "V"}, {"W", "V"}}, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Variable Load and Combine");
        EXPECT_TRUE(child<QPushButton>(dialog, "combine_pushButton_2").isHidden());
        EXPECT_TRUE(child<QLineEdit>(dialog, "aliasFile_LineEdit").isReadOnly());
        EXPECT_TRUE(
            child<QLabel>(dialog, "info_label").text().contains(QStringLiteral("“Variables to load”")));
        EXPECT_TRUE(child<QLabel>(dialog, "label_5").text().contains(QStringLiteral("color:'blue';")));
        EXPECT_EQ(child<QPushButton>(dialog, "combine_pushButton").iconSize().height(), 21);
        EXPECT_GT(child<QPushButton>(dialog, "combine_pushButton").iconSize().width(), 21);

        auto& addSelected = child<QPushButton>(dialog, "addVariable_pushButton");
        auto& available = child<QListView>(dialog, "incomingVarList");
        ASSERT_EQ(available.model()->rowCount(), 2);
        EXPECT_FALSE(addSelected.isEnabled());
        available.selectionModel()->select(available.model()->index(1, 0),
                                           QItemSelectionModel::ClearAndSelect);
        EXPECT_TRUE(addSelected.isEnabled());
        press(dialog, "addVariable_pushButton");
        EXPECT_EQ(available.model()->rowCount(), 1);
        EXPECT_FALSE(addSelected.isEnabled());

        press(dialog, "addVariable_pushButton_2");
        EXPECT_FALSE(child<QPushButton>(dialog, "addVariable_pushButton_2").isEnabled());
        EXPECT_EQ(child<QListView>(dialog, "varsToLoadList").model()->rowCount(), 3);
        pressBoxButton(dialog, QDialogButtonBox::Ok);
    });
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, (Texts{"X", "W", "V"}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
