#include "macro/MacroRecorderPropertiesManager.h"

#include "MacroFileReading.h"
#include "host/KernelMessages.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using qelmar::sdk::ui::propertymanager::MacroRecorderPropertiesManager;
using qelmar::standin::testing::KernelTestControl;

namespace {

const char stopQuestion[] = "Are you sure you want to stop\nthe current recording session?";
const char cancelQuestion[] = "Are you sure you want to cancel\nthe current recording session?";
const char graphicsOffQuestion[] =
    "Are you sure you want to insert $!DRAWGRAPHICS FALSE\ninto the recorded macro?";
const char graphicsOnQuestion[] =
    "Are you sure you want to insert $!DRAWGRAPHICS TRUE\ninto the recorded macro?";

class MacroRecorderPropertiesManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(directory.isValid());
        connection = MacroRecorderPropertiesManager::relevance()->connectToRelevanceChangedSignal(
            [this] { ++notifications; });
    }
    void TearDown() override { connection.disconnect(); }

    std::string macroPath() const { return directory.filePath("recorded.mcr").toStdString(); }

    std::vector<std::string> macroBody() const { return readMacroBody(macroPath()); }

    KernelTestControl kernel;
    qelmar::standin::testing::CallRecording recording;
    QTemporaryDir directory;
    MacroRecorderPropertiesManager manager;
    boost::signals2::connection connection;
    int notifications = 0;
};

TEST_F(MacroRecorderPropertiesManagerTest, EscapesEverySingleQuoteOnce) {
    const std::pair<std::string, std::string> cases[] = {
        {"it's", "it\\'s"}, {"''", "\\'\\'"},     {"no quotes", "no quotes"},     {"", ""},
        {"'", "\\'"},       {"a\\'b", "a\\\\'b"}, {"'x' 'y'", "\\'x\\' \\'y\\'"},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(manager.escapeDelimitingCharacters(input), expected) << "input: " << input;
}

// The shared relevance changes on start, stop and cancel only; the keep-up one, its inverse, is
// told along with it.
TEST_F(MacroRecorderPropertiesManagerTest, NotifiesOnlyOnTheThreeTransitions) {
    const qelmar::sdk::ui::propertymanager::RelevancePtr keepUp =
        MacroRecorderPropertiesManager::okToKeepUpRelevance();
    int keepUpNotifications = 0;
    boost::signals2::scoped_connection keepUpConnection =
        keepUp->connectToRelevanceChangedSignal([&] { ++keepUpNotifications; });
    EXPECT_FALSE(keepUp->isRelevant());
    kernel.failCall("QelAppMacroRecordStart", qelmar::standin::FailMode::Once);
    EXPECT_FALSE(manager.startAction(macroPath()));
    EXPECT_EQ(notifications, 0);

    EXPECT_TRUE(manager.startAction(macroPath()));
    EXPECT_EQ(notifications, 1);
    EXPECT_FALSE(MacroRecorderPropertiesManager::relevance()->isRelevant());
    EXPECT_TRUE(keepUp->isRelevant());
    EXPECT_EQ(keepUpNotifications, 1);

    kernel.setDefaultAnswer(true);
    manager.pauseAction("x");
    manager.suspendGraphicsAction();
    EXPECT_EQ(notifications, 1);

    kernel.answerNextQuestions({false});
    EXPECT_FALSE(manager.stopAction());
    EXPECT_EQ(notifications, 1);
    EXPECT_TRUE(manager.stopAction());
    EXPECT_EQ(notifications, 2);
    EXPECT_TRUE(MacroRecorderPropertiesManager::relevance()->isRelevant());

    EXPECT_TRUE(manager.startAction(macroPath()));
    EXPECT_TRUE(manager.cancelAction());
    EXPECT_EQ(notifications, 4);
}

TEST_F(MacroRecorderPropertiesManagerTest, AnswersNoLeaveTheRecordingAsItWas) {
    ASSERT_TRUE(manager.startAction(macroPath()));
    kernel.setDefaultAnswer(false);
    manager.suspendGraphicsAction();
    manager.unSuspendGraphicsAction();
    EXPECT_FALSE(manager.cancelAction());
    EXPECT_FALSE(manager.stopAction());

    EXPECT_FALSE(kernel.wasCalled("QelUtilMacroRecordRawCommand"));
    EXPECT_FALSE(kernel.wasCalled("QelAppMacroRecordCancel"));
    EXPECT_FALSE(kernel.wasCalled("QelAppMacroRecordEnd"));
    EXPECT_FALSE(MacroRecorderPropertiesManager::relevance()->isRelevant());
    EXPECT_EQ(notifications, 1);
    std::vector<std::string> questions;
    for (const auto& question : kernel.messagesOfType(MessageBox_Question))
        questions.push_back(question.text);
    EXPECT_EQ(questions, (std::vector<std::string>{graphicsOffQuestion, graphicsOnQuestion, cancelQuestion,
                                                   stopQuestion}));
}

} // namespace
