#include "macro/MacroRecorderDialog.h"

#include "MacroFileReading.h"
#include "host/KernelMessages.h"
#include "host/LaunchHelpAction.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/ModalDialogAnswerer.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using qelmar::dialogs::io::MacroRecorderDialog;
using qelmar::standin::FailMode;
using qelmar::standin::testing::AnsweredDialog;
using qelmar::standin::testing::KernelTestControl;
using qelmar::standin::testing::ModalDialogAnswerer;

namespace {

const char stopQuestion[] = "Are you sure you want to stop\nthe current recording session?";
const char cancelQuestion[] = "Are you sure you want to cancel\nthe current recording session?";
const char redrawText[] = "Auto Redraw will be disabled during macro recording. To update the plot use the "
                          "Redraw button on the Plot sidebar.";

void deletePendingWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The redraw information appears once per process, so the first windows of this test program
// are opened here, before any test, and the tests below only look at what happened.
struct FirstWindows {
    std::vector<AnsweredDialog> firstWindowDialogs;
    std::vector<AnsweredDialog> secondWindowDialogs;
    std::vector<std::string> failures;
    bool firstStartRefused = false;
};

FirstWindows& firstWindows() {
    static FirstWindows seen;
    return seen;
}

class FirstWindowsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        KernelTestControl kernel;
        qelmar::standin::testing::CallRecording recording;
        QTemporaryDir directory;
        QWidget host;
        host.setObjectName("host");
        // Opens a window as a host does and returns the dialogs it showed.
        const auto openWindow = [&](const char* name, bool pressOk) {
            ModalDialogAnswerer answerer;
            answerer.setFailureHandler(
                [](const std::string& failure) { firstWindows().failures.push_back(failure); });
            if (pressOk)
                answerer.pressOk();
            delete MacroRecorderDialog::getInstance(host, directory.filePath(name).toStdString());
            return answerer.answered();
        };
        kernel.failCall("QelAppMacroRecordStart", FailMode::Once);
        firstWindows().firstWindowDialogs = openWindow("first.mcr", true);
        firstWindows().firstStartRefused =
            kernel.wasCalled("QelAppMacroRecordStart") && !kernel.wasCalled("QelUtilMacroRecordRawCommand");
        firstWindows().secondWindowDialogs = openWindow("second.mcr", false);
    }
};

const auto* const firstWindowsEnvironment = ::testing::AddGlobalTestEnvironment(new FirstWindowsEnvironment);

TEST(MacroRecorderFirstWindows, ShowTheRedrawInformationOnlyOnceEvenIfTheFirstStartFailed) {
    const FirstWindows& seen = firstWindows();
    EXPECT_TRUE(seen.failures.empty());
    EXPECT_TRUE(seen.firstStartRefused);
    ASSERT_EQ(seen.firstWindowDialogs.size(), 1u);
    const AnsweredDialog& box = seen.firstWindowDialogs.front();
    EXPECT_EQ(box.kind, AnsweredDialog::Kind::MessageBox);
    EXPECT_EQ(box.title, "Information");
    EXPECT_EQ(box.label, redrawText);
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box.parentObjectName, "MacroRecorder");
    EXPECT_TRUE(seen.secondWindowDialogs.empty());
}

class MacroRecorderDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(directory.isValid());
        answerer.setFailureHandler([](const std::string& failure) { ADD_FAILURE() << failure; });
    }

    void TearDown() override {
        deletePendingWindows();
        delete window.data();
        EXPECT_EQ(answerer.pendingAnswers(), 0u);
    }

    std::string macroPath() const { return directory.filePath("test.mcr").toStdString(); }

    MacroRecorderDialog* open() {
        window = MacroRecorderDialog::getInstance(host, macroPath());
        window->launch();
        return window;
    }

    QPushButton* button(const char* name) const { return window->findChild<QPushButton*>(name); }
    void click(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }

    std::vector<std::string> macroBody() const { return readMacroBody(macroPath()); }

    // Answers the input box the button opens with the text.
    void insert(const char* name, const char* text) {
        answerer.enterText(text);
        click(name);
    }
    void stopWithAYes() {
        kernel.answerQuestion(stopQuestion, true);
        click("stop_Button");
    }
    // A window that is done is deleted later, with the events posted for it.
    void expectWindowDeletedLater() {
        deletePendingWindows();
        EXPECT_TRUE(window.isNull());
    }

    KernelTestControl kernel;
    qelmar::standin::testing::CallRecording recording;
    ModalDialogAnswerer answerer;
    QTemporaryDir directory;
    QWidget host;
    QPointer<MacroRecorderDialog> window;
};

TEST_F(MacroRecorderDialogTest, FormShowsTheRecorderButtonsInOneColumn) {
    open();
    EXPECT_EQ(window->objectName(), "MacroRecorder");
    EXPECT_EQ(window->windowTitle(), "Macro Recorder");
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    const std::pair<const char*, const char*> buttons[] = {
        {"insertPause_Button", "Insert \"&Pause\""},
        {"suspendGraphics_Button", "Insert \"&Graphics Off\""},
        {"unsuspendGraphics_Button", "Insert \"G&raphics On\""},
        {"insertCommand_Button", "Insert Raw &Command"},
        {"stop_Button", "&Stop Recording"},
    };
    auto* grid = window->findChild<QGridLayout*>("gridLayout_1");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->columnCount(), 1);
    for (const auto& [name, text] : buttons) {
        QPushButton* pushButton = button(name);
        ASSERT_NE(pushButton, nullptr) << name;
        EXPECT_EQ(pushButton->text(), text);
        EXPECT_EQ(pushButton->focusPolicy(), Qt::StrongFocus);
        EXPECT_EQ(pushButton->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        EXPECT_EQ(pushButton->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    }
    auto* box = window->findChild<QDialogButtonBox*>("buttonBox");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->standardButtons(), QDialogButtonBox::Cancel);
    auto* help = dynamic_cast<qelmar::sdk::ui::LaunchHelpAction*>(window->helpAction());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->link(), "macro_record.html");
}

TEST_F(MacroRecorderDialogTest, RecordsThePauseTextEscapedAndTheRawCommandAsTyped) {
    open();
    insert("insertPause_Button", "Don't move");
    insert("insertCommand_Button", "$!VARSET |MFBD| = 'C:\\data'");
    stopWithAYes();

    EXPECT_EQ(macroBody(),
              (std::vector<std::string>{"$!PAUSE 'Don\\'t move'", "$!VARSET |MFBD| = 'C:\\data'"}));

    ASSERT_EQ(answerer.answered().size(), 2u);
    const AnsweredDialog& pauseInput = answerer.answered()[0];
    EXPECT_EQ(pauseInput.kind, AnsweredDialog::Kind::TextInput);
    EXPECT_EQ(pauseInput.title, "Enter Text");
    EXPECT_EQ(pauseInput.label, "This option generates a macro command that is saved to the\n"
                                "file you are currently recording. Enter the text that you want\n"
                                "to appear when the macro is played back.");
    EXPECT_TRUE(pauseInput.initialText.isEmpty());
    EXPECT_EQ(pauseInput.echoMode, QLineEdit::Normal);
    EXPECT_TRUE(pauseInput.applicationModal);
    EXPECT_EQ(pauseInput.parentObjectName, "MacroRecorder");
    EXPECT_EQ(answerer.answered()[1].label,
              "Enter the text for a RAW macro command to insert\ninto the recorded macro stream.");
}

TEST_F(MacroRecorderDialogTest, CancelledOrEmptyInputRecordsNothing) {
    open();
    for (const char* name : {"insertPause_Button", "insertCommand_Button"}) {
        answerer.cancelTextInput();
        click(name);
        insert(name, "");
    }
    EXPECT_FALSE(kernel.wasCalled("QelUtilMacroRecordRawCommand"));
}

TEST_F(MacroRecorderDialogTest, StopFiresTheRelevanceChangeBeforeTheFinishedSignal) {
    std::vector<std::string> events;
    boost::signals2::scoped_connection relevanceConnection =
        MacroRecorderDialog::relevance()->connectToRelevanceChangedSignal(
            [&] { events.push_back("relevance"); });
    open();
    events.clear();
    boost::signals2::scoped_connection finishedConnection =
        window->connectToSignalMacroRecordingFinished([&] { events.push_back("finished"); });

    kernel.answerNextQuestions({false});
    click("stop_Button");
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(window->isVisible());

    kernel.answerNextQuestions({true});
    click("stop_Button");
    EXPECT_EQ(events, (std::vector<std::string>{"relevance", "finished"}));
    EXPECT_TRUE(kernel.wasCalled("QelAppMacroRecordEnd"));
    EXPECT_FALSE(kernel.wasCalled("QelAppMacroRecordCancel"));
    EXPECT_TRUE(MacroRecorderDialog::relevance()->isRelevant());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(macroPath())));

    // The window goes away with its recording, and the next one records anew.
    EXPECT_FALSE(window->isVisible());
    expectWindowDeletedLater();
    open();
    EXPECT_EQ(kernel.callsNamed("QelAppMacroRecordStart").size(), 2u);
    EXPECT_FALSE(MacroRecorderDialog::relevance()->isRelevant());
}

TEST_F(MacroRecorderDialogTest, SecondGetInstanceReturnsTheOpenWindowWithoutStartingAgain) {
    open();
    MacroRecorderDialog* again =
        MacroRecorderDialog::getInstance(host, directory.filePath("other.mcr").toStdString());
    EXPECT_EQ(again, window.data());
    EXPECT_EQ(kernel.callsNamed("QelAppMacroRecordStart").size(), 1u);
}

TEST_F(MacroRecorderDialogTest, ClosingAsksAndCancelsOnlyAfterAYes) {
    open();
    kernel.answerNextQuestions({false});
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(kernel.callsNamed("QelAppMacroRecordCancel").empty());
    EXPECT_FALSE(MacroRecorderDialog::relevance()->isRelevant());

    kernel.answerNextQuestions({true});
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(kernel.callsNamed("QelAppMacroRecordCancel").size(), 1u);
    EXPECT_FALSE(kernel.wasCalled("QelAppMacroRecordEnd"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(macroPath())));
    EXPECT_EQ(kernel.messagesOfType(MessageBox_Question).size(), 2u);
    EXPECT_EQ(kernel.messagesOfType(MessageBox_Question).back().text, cancelQuestion);
    expectWindowDeletedLater();
}

TEST_F(MacroRecorderDialogTest, EscapeAndTheCancelButtonCancelTheRecording) {
    open();
    kernel.answerNextQuestions({false});
    QTest::keyClick(button("stop_Button"), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());

    kernel.answerNextQuestions({false, true});
    auto* box = window->findChild<QDialogButtonBox*>("buttonBox");
    QTest::mouseClick(box->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(kernel.callsNamed("QelAppMacroRecordCancel").size(), 1u);
    EXPECT_EQ(kernel.messagesOfType(MessageBox_Question).size(), 3u);
}

TEST_F(MacroRecorderDialogTest, RefusedStartLeavesAWindowThatIsDroppedWhenLaunched) {
    kernel.failCall("QelAppMacroRecordStart", FailMode::Once);
    window = MacroRecorderDialog::getInstance(host, macroPath());
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(MacroRecorderDialog::relevance()->isRelevant());

    // Without a recording there is nothing to cancel, so nothing is asked.
    window->reject();
    EXPECT_TRUE(kernel.messages().empty());
    EXPECT_FALSE(kernel.wasCalled("QelAppMacroRecordCancel"));

    EXPECT_FALSE(window->launch());
    EXPECT_FALSE(window->isVisible());

    // The dropped window is deleted later; the host's next try already gets a new one.
    QPointer<MacroRecorderDialog> retry = MacroRecorderDialog::getInstance(host, macroPath());
    EXPECT_NE(retry.data(), window.data());
    EXPECT_EQ(kernel.callsNamed("QelAppMacroRecordStart").size(), 2u);
    EXPECT_FALSE(MacroRecorderDialog::relevance()->isRelevant());
    expectWindowDeletedLater();
    ASSERT_FALSE(retry.isNull());
    window = retry;
}

// A host that records one macro after the other starts the next recording as soon as it hears
// that the last one finished, while the finished window still waits for its deletion.
TEST_F(MacroRecorderDialogTest, ARecordingStartedWhenTheLastOneFinishedGetsAWindowOfItsOwn) {
    open();
    QPointer<MacroRecorderDialog> next;
    const std::string nextPath = directory.filePath("next.mcr").toStdString();
    boost::signals2::scoped_connection finished = window->connectToSignalMacroRecordingFinished(
        [&] { next = MacroRecorderDialog::getInstance(host, nextPath); });
    stopWithAYes();

    ASSERT_FALSE(next.isNull());
    EXPECT_NE(next.data(), window.data());
    EXPECT_EQ(kernel.callsNamed("QelAppMacroRecordStart").size(), 2u);
    EXPECT_FALSE(MacroRecorderDialog::relevance()->isRelevant());
    expectWindowDeletedLater();
    ASSERT_FALSE(next.isNull());
    EXPECT_EQ(MacroRecorderDialog::getInstance(host, macroPath()), next.data());

    // The new window records into its own file.
    window = next;
    window->launch();
    insert("insertCommand_Button", "second");
    stopWithAYes();
    EXPECT_EQ(readMacroBody(nextPath), std::vector<std::string>{"second"});
}

TEST_F(MacroRecorderDialogTest, EveryKernelCallButTheStartRunsInsideTheLock) {
    open();
    kernel.setDefaultAnswer(true);
    insert("insertPause_Button", "pause");
    click("suspendGraphics_Button");
    click("unsuspendGraphics_Button");
    insert("insertCommand_Button", "raw");
    click("stop_Button");
    deletePendingWindows();
    open();
    window->close();

    // A host asks whether it may offer a recording at any time, outside of any lock.
    MacroRecorderDialog::relevance()->isRelevant();

    ASSERT_EQ(kernel.callsNamed("QelUtilMacroRecordRawCommand").size(), 4u);
    ASSERT_EQ(kernel.callsNamed("QelAppMacroRecordCancel").size(), 1u);
    EXPECT_FALSE(kernel.callsNamed("QelUtilUserMacroIsRecordingActive").empty());
    for (const auto& record : kernel.journal())
        EXPECT_EQ(record.insideLock, record.call != "QelAppMacroRecordStart") << record.call;
}

TEST_F(MacroRecorderDialogTest, TitleFollowsTheRecordingLanguage) {
    const std::pair<int, QString> cases[] = {{0, "Macro Recorder"}, {1, "PyQelmar Recorder"}, {2, ""}};
    for (const auto& [language, title] : cases) {
        kernel.setRecordingLanguage(language);
        open();
        EXPECT_EQ(window->windowTitle(), title) << "language " << language;
        kernel.answerNextQuestions({true});
        window->reject();
        deletePendingWindows();
        ASSERT_TRUE(window.isNull());
    }
}

} // namespace
