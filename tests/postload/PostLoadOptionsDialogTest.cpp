#include "postload/PostLoadOptionsDialog.h"

#include "PostLoadWindowHost.h"

#include "postload/HtmlItemDelegate.h"

#include "host/StringList.h"
#include "kernel/MatchVariables.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

using qelmar::dialogs::io::PostLoadOptionsDialog;
using qelmar::toolbox::StringList;
using Texts = std::vector<std::string>;

// The registration outlives every test, as in an application; so does the widget it names.
QWidget& host() {
    return qelmar::testing::postLoadWindowHost();
}

template <typename T = QPushButton> T& child(QDialog& dialog, const char* name) {
    return *dialog.findChild<T*>(QString::fromLatin1(name));
}

void press(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

class PostLoadOptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { PostLoadOptionsDialog::registerCallback(host()); }

    // Asks the registered callback as the kernel's load does; `whileShown` runs inside the modal
    // run, if there is one. No answer stands for a cancelled load.
    std::optional<Texts> match(StringList existing, std::vector<StringList> files,
                               std::function<void(QDialog&)> whileShown = {}) {
        std::vector<StringList_s*> handles;
        for (const StringList& file : files)
            handles.push_back(file.getRef());
        QTimer::singleShot(0, [this, whileShown] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                const QCursor* cursor = QGuiApplication::overrideCursor();
                shownWithArrow = cursor && cursor->shape() == Qt::ArrowCursor;
                if (whileShown)
                    whileShown(*dialog);
                if (dialog->isVisible()) // a failed step must not leave the run waiting
                    dialog->reject();
            }
        });
        StringList_s* answer =
            qelmar::standin::matchVariables(existing.getRef(), handles.data(), handles.size());
        QCoreApplication::processEvents();
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        if (!answer)
            return std::nullopt;
        const StringList list(answer);
        Texts texts;
        for (long i = 0; i < list.size(); ++i)
            texts.push_back(list.get(i));
        return texts;
    }

    qelmar::standin::testing::KernelTestControl kernel;
    qelmar::standin::testing::CallRecording recording;
    std::optional<bool> shownWithArrow;
};

TEST_F(PostLoadOptionsDialogTest, RegistersOnceAndLoadsMatchingNamesWithoutAsking) {
    kernel.clearJournal();
    QWidget other;
    PostLoadOptionsDialog::registerCallback(other);
    EXPECT_FALSE(kernel.wasCalled("QelEngMatchVariablesRegisterCallback"));

    EXPECT_EQ(match({"X", "Y", "X"}, {{"x", " Y"}, {"X"}}), (Texts{"X", "Y"}));
    EXPECT_FALSE(shownWithArrow.has_value());
    EXPECT_EQ(PostLoadOptionsDialog::getInstance(other)->parentWidget(), &host());
}

TEST_F(PostLoadOptionsDialogTest, CancelCancelsTheLoad) {
    const auto answer = match({"X"}, {{"X", "V"}}, [](QDialog& dialog) {
        press(child<QDialogButtonBox>(dialog, "PostLoadOptions_buttonBox").button(QDialogButtonBox::Cancel));
    });
    EXPECT_EQ(shownWithArrow, true);
    EXPECT_FALSE(answer.has_value());
}

TEST_F(PostLoadOptionsDialogTest, TheWindowOffersItsCommandsAsTheSelectionsAllowAndOkLoads) {
    const auto answer = match({"X"}, {{"X", "V"}, {"W", "V"}}, [](QDialog& dialog) {
        EXPECT_TRUE(child(dialog, "combine_pushButton_2").isHidden());
        EXPECT_TRUE(child<QLineEdit>(dialog, "aliasFile_LineEdit").isReadOnly());
        EXPECT_TRUE(
            child<QLabel>(dialog, "info_label").text().contains(QStringLiteral("“Variables to load”")));
        EXPECT_GT(child(dialog, "combine_pushButton").iconSize().width(), 21);

        QPushButton& addSelected = child(dialog, "addVariable_pushButton");
        auto& available = child<QListView>(dialog, "incomingVarList");
        EXPECT_FALSE(addSelected.isEnabled());
        available.selectionModel()->select(available.model()->index(1, 0),
                                           QItemSelectionModel::ClearAndSelect);
        EXPECT_TRUE(addSelected.isEnabled());
        press(&addSelected);
        EXPECT_EQ(available.model()->rowCount(), 1);
        EXPECT_FALSE(addSelected.isEnabled());
        press(&child(dialog, "addVariable_pushButton_2"));
        EXPECT_FALSE(child(dialog, "addVariable_pushButton_2").isEnabled());
        press(child<QDialogButtonBox>(dialog, "PostLoadOptions_buttonBox").button(QDialogButtonBox::Ok));
    });
    EXPECT_EQ(shownWithArrow, true);
    EXPECT_EQ(answer, (Texts{"X", "W", "V"}));
}

// The window keeps the previous load's lists; a load whose set-up fails must not be answered
// with them, which would load the files under the variables chosen for other files.
TEST_F(PostLoadOptionsDialogTest, ALoadWhoseSetUpFailsIsCancelledNotAnsweredWithThePreviousChoice) {
    const auto previous = match({"X"}, {{"X", "V"}}, [](QDialog& dialog) {
        press(&child(dialog, "addVariable_pushButton_2"));
        press(child<QDialogButtonBox>(dialog, "PostLoadOptions_buttonBox").button(QDialogButtonBox::Ok));
    });
    ASSERT_EQ(previous, (Texts{"X", "V"}));

    StringList existing{"A"};
    std::vector<StringList> files{{"A", "B"}};
    kernel.failCall("QelUtilStringListAlloc", qelmar::standin::FailMode::Once);
    EXPECT_FALSE(match(std::move(existing), std::move(files)).has_value());
    kernel.clearFailures();
    ASSERT_EQ(kernel.messagesOfType(0).size(), 1u);
    EXPECT_EQ(kernel.messagesOfType(0).front().text.rfind("An error occurred while determining", 0), 0u);
}

// What a row shows once the HTML delegate has read its display text.
QString shownText(const QListView& view, int row) {
    QTextDocument document;
    document.setHtml(view.model()->index(row, 0).data(Qt::DisplayRole).toString());
    return document.toPlainText();
}

TEST_F(PostLoadOptionsDialogTest, EveryNameShowsAsWrittenAndLoadsUnchanged) {
    const Texts odd{"<u'v'>", "a&b", "two  blanks", "\"quoted\""};
    StringList file{"X"};
    for (const std::string& name : odd)
        file.append(name);
    const auto answer = match({"X"}, {file}, [&odd](QDialog& dialog) {
        auto& available = child<QListView>(dialog, "incomingVarList");
        ASSERT_NE(dynamic_cast<qelmar::sdk::ui::postload::HtmlItemDelegate*>(available.itemDelegate()),
                  nullptr);
        ASSERT_EQ(available.model()->rowCount(), 4);
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(shownText(available, row).toStdString(), odd[static_cast<std::size_t>(row)]);
        available.selectionModel()->select(available.model()->index(0, 0),
                                           QItemSelectionModel::ClearAndSelect);
        press(&child(dialog, "addVariable_pushButton"));
        press(&child(dialog, "addVariable_pushButton_2"));
        auto& toLoad = child<QListView>(dialog, "varsToLoadList");
        EXPECT_EQ(shownText(toLoad, 1).trimmed().toStdString(), "2: <u'v'>");
        press(child<QDialogButtonBox>(dialog, "PostLoadOptions_buttonBox").button(QDialogButtonBox::Ok));
    });
    EXPECT_EQ(answer, (Texts{"X", "<u'v'>", "a&b", "two  blanks", "\"quoted\""}));
}

// The size of a row is the size of its laid-out HTML. Asking it of every row, as a view does
// unless its rows are alike, kept a window of a campaign's names from opening for seconds.
class CountingDelegate : public qelmar::sdk::ui::postload::HtmlItemDelegate {
public:
    using HtmlItemDelegate::HtmlItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        ++sizeHints;
        return HtmlItemDelegate::sizeHint(option, index);
    }
    mutable int sizeHints = 0;
};

TEST_F(PostLoadOptionsDialogTest, ShowingThousandsOfNamesSizesAFewRowsNotEach) {
    PostLoadOptionsDialog& dialog = *PostLoadOptionsDialog::getInstance(host());
    std::vector<CountingDelegate*> counting;
    std::vector<QAbstractItemDelegate*> original;
    for (const char* name : {"incomingVarList", "varsToLoadList"}) {
        auto& view = child<QListView>(dialog, name);
        original.push_back(view.itemDelegate());
        counting.push_back(new CountingDelegate(&view));
        view.setItemDelegate(counting.back());
    }
    StringList existing, file;
    for (int k = 0; k < 3000; ++k) {
        existing.append("E" + std::to_string(k));
        file.append("N" + std::to_string(k));
    }
    match(existing, {file}, [](QDialog& shown) {
        shown.grab();
        EXPECT_EQ(child<QListView>(shown, "incomingVarList").model()->rowCount(), 3000);
    });
    for (std::size_t view = 0; view < counting.size(); ++view) {
        EXPECT_LT(counting[view]->sizeHints, 200) << "view " << view;
        child<QListView>(dialog, view == 0 ? "incomingVarList" : "varsToLoadList")
            .setItemDelegate(original[view]);
        delete counting[view];
    }
}

} // namespace
