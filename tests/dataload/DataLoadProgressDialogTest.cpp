// The progress window and the bad-file question of the library, registered once and serving a
// sequence of real loads through the Delimited Text loader.

#include "dataload/DataLoadProgressDialog.h"
#include "common/StationFiles.h"
#include "host/KernelDataLoadProgress.h"
#include "host/KernelErrors.h"
#include "host/KernelString.h"
#include "kernel/ApplicationModel.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "loaders/DelimitedText.h"
#include "loaders/LoaderSupport.h"
#include "loaders/StandardDataLoaders.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace qelmar::dataload;
using qelmar::dialogs::io::DataLoadProgressDialog;
using qelmar::standin::ApplicationModel;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;

// The registration outlives every test, as in an application; so does the widget it names.
QWidget& host() {
    static QWidget* widget = new QWidget;
    return *widget;
}

std::string lastError() {
    return qelmar::sdk::KernelString(QelUtilGetLastErrorMessage()).str();
}

std::string summary() {
    return qelmar::sdk::KernelString(QelUtilDataLoadLastSummary()).str();
}

QProgressDialog* progressWindow() {
    return host().findChild<QProgressDialog*>();
}

// What the bad-file question showed, and the button pressed.
struct Question {
    QString title;
    QString text;
    QStringList buttons;
};

class DataLoadProgressDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        DataLoadProgressDialog::registerCallbacks(host());
        frame = app.addFrame(app.addPage("Page"), "Frame");
        app.attachDataSet(frame, {"old", {"x", "y"}, {{1.0}, {2.0}}}, true);
    }

    // Through the Delimited Text reader, with `whileReading` run before each file is read.
    static bool load(const std::vector<std::string>& files,
                     std::function<void(const std::string&)> whileReading = {}) {
        return qelmar::standin::readAndLoad(
            files,
            [&whileReading](const std::string& file) {
                if (whileReading)
                    whileReading(file);
                return qelmar::standin::readDelimitedText(file, {});
            },
            ReplaceAndRetainStyle);
    }

    // Answers the next bad-file questions with these buttons (NoButton: the Escape key),
    // remembering what each showed.
    void answerQuestions(std::vector<QMessageBox::StandardButton> buttons) {
        pendingAnswers = std::move(buttons);
        QTimer::singleShot(0, [this] { answerWhenAsked(); });
    }
    void answerWhenAsked() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (!pendingAnswers.empty())
                QTimer::singleShot(5, [this] { answerWhenAsked(); });
            return;
        }
        Question question{box->windowTitle(), box->text(), {}};
        for (QAbstractButton* button : box->buttons())
            question.buttons.append(button->text());
        questions.push_back(question);
        const QMessageBox::StandardButton answer = pendingAnswers.front();
        pendingAnswers.erase(pendingAnswers.begin());
        if (answer == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(answer)->click();
        if (!pendingAnswers.empty())
            QTimer::singleShot(0, [this] { answerWhenAsked(); });
    }

    int zones() const { return ApplicationModel::instance().frame(frame).dataSet->zoneCount(); }

    QTemporaryDir folder;
    KernelTestControl kernel;
    ApplicationTestControl app;
    std::vector<QMessageBox::StandardButton> pendingAnswers;
    std::vector<Question> questions;
    int frame = 0;
};

// One registration serves a sequence of loads: a load cancelled with the window's Cancel button,
// a load whose bad file is skipped, and a load the user stops with "Load Nothing". A fast load
// never shows the window, which waits a second before it appears, and no window outlives its
// load.
TEST_F(DataLoadProgressDialogTest, CancelSkipAndLoadNothingInSequence) {
    const std::vector<std::string> files = testsupport::writeStations(folder.path(), 100);
    QString labelAtFifty;
    bool shownEarly = false;
    int minimumDuration = 0;
    QString title;
    EXPECT_FALSE(load(files, [&](const std::string& file) {
        QProgressDialog* window = progressWindow();
        ASSERT_NE(window, nullptr);
        shownEarly = shownEarly || window->isVisible();
        minimumDuration = window->minimumDuration();
        title = window->windowTitle();
        if (file == files[49]) {
            labelAtFifty = window->labelText();
            // Cancel as the user does; the load stops before the next file.
            window->findChild<QPushButton*>()->click();
        }
    }));
    EXPECT_EQ(lastError(), "");
    EXPECT_EQ(zones(), 1);
    EXPECT_FALSE(shownEarly);
    EXPECT_EQ(minimumDuration, 1000);
    EXPECT_EQ(title, QStringLiteral("Loading Data"));
    EXPECT_TRUE(labelAtFifty.contains(QStringLiteral("File 50 of 100"))) << labelAtFifty.toStdString();
    EXPECT_TRUE(labelAtFifty.contains(QStringLiteral("station-050.csv"))) << labelAtFifty.toStdString();
    EXPECT_EQ(progressWindow(), nullptr);

    const std::vector<std::string> withBad = testsupport::writeStations(folder.path(), 100, {17});
    answerQuestions({QMessageBox::Yes});
    EXPECT_TRUE(load(withBad)) << lastError();
    EXPECT_EQ(zones(), 99);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].title, QStringLiteral("Data File Not Loaded"));
    EXPECT_TRUE(questions[0].text.contains(QStringLiteral("station-017.csv")));
    EXPECT_TRUE(questions[0].text.contains(QStringLiteral("\"warm\" is not a number")));
    EXPECT_TRUE(questions[0].buttons.contains(QStringLiteral("Skip File")));
    EXPECT_TRUE(questions[0].buttons.contains(QStringLiteral("Skip All Bad Files")));
    EXPECT_TRUE(questions[0].buttons.contains(QStringLiteral("Load Nothing")));
    EXPECT_EQ(summary().rfind("Loaded 99 of 100 files; skipped station-017.csv, line 12", 0), 0u)
        << summary();
    EXPECT_EQ(progressWindow(), nullptr);

    const std::vector<std::string> threeBad = testsupport::writeStations(folder.path(), 100, {3, 30, 90});
    answerQuestions({QMessageBox::Abort});
    EXPECT_FALSE(load(threeBad));
    EXPECT_EQ(lastError(), "");
    EXPECT_EQ(zones(), 99);
    EXPECT_EQ(questions.size(), 2u);

    answerQuestions({QMessageBox::YesToAll});
    EXPECT_TRUE(
        qelmar::standin::makeDelimitedTextLoader()->load(&host(), threeBad, false, ReplaceAndRetainStyle))
        << lastError();
    EXPECT_EQ(zones(), 97);
    EXPECT_EQ(questions.size(), 3u);
}

// Escape on the question is the safe answer: nothing is loaded.
TEST_F(DataLoadProgressDialogTest, EscapeOnTheQuestionLoadsNothing) {
    const std::vector<std::string> files = testsupport::writeStations(folder.path(), 3, {2});
    answerQuestions({QMessageBox::NoButton});
    EXPECT_FALSE(load(files));
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(lastError(), "");
    EXPECT_EQ(zones(), 1);
}

} // namespace
