// The macro recorder as a user lives with it over a session: recordings started, filled with
// pauses, graphics switches and raw commands, stopped or cancelled (after a "no" first, now and
// then), dropped by the host, and started again. A model holds the lines the user inserted;
// after every step the window is up exactly while a recording runs, a stopped or dropped
// recording's file holds exactly the model's lines, and a cancelled one leaves no file.

#include "macro/MacroRecorderDialog.h"

#include "MacroFileReading.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/ModalDialogAnswerer.h"

#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <rapidcheck/gtest.h>
#include <rapidcheck/state.h>

#include <ostream>

namespace {

using qelmar::dialogs::io::MacroRecorderDialog;
using qelmar::standin::testing::KernelTestControl;
using qelmar::standin::testing::ModalDialogAnswerer;

const char stopQuestion[] = "Are you sure you want to stop\nthe current recording session?";
const char cancelQuestion[] = "Are you sure you want to cancel\nthe current recording session?";

struct Model {
    bool recording = false;
    int recordings = 0;
    std::vector<std::string> lines;
};

struct Session {
    KernelTestControl kernel;
    ModalDialogAnswerer answerer;
    QTemporaryDir directory;
    QWidget host;
    QPointer<MacroRecorderDialog> window;
    std::vector<std::string> unexpectedDialogs;

    Session() {
        answerer.setFailureHandler(
            [this](const std::string& failure) { unexpectedDialogs.push_back(failure); });
        // The redraw information comes once per process; whether this session sees it depends
        // on the sessions before it.
        kernel.setDefaultAnswer(true);
    }
    ~Session() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete window.data();
    }

    std::string macroPath(int recording) const {
        return directory.filePath(QStringLiteral("session-%1.mcr").arg(recording)).toStdString();
    }
    void click(const char* name) const {
        QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    void expectWindowUpWhileRecording(const Model& model) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        RC_ASSERT(unexpectedDialogs.empty());
        const bool windowUp = !window.isNull() && window->isVisible();
        RC_ASSERT(windowUp == model.recording);
        RC_ASSERT(MacroRecorderDialog::relevance()->isRelevant() == !model.recording);
    }
};

// A user's step: done in the session, then the window must be up exactly while the model records.
struct Command : rc::state::Command<Model, Session> {
    void run(const Model& model, Session& session) const override {
        act(model, session);
        Model next = model;
        apply(next);
        session.expectWindowUpWhileRecording(next);
        afterwards(model, session);
    }
    virtual void act(const Model& model, Session& session) const = 0;
    virtual void afterwards(const Model&, Session&) const {}
};

std::string pauseCommand(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '\'')
            escaped += '\\';
        escaped += c;
    }
    return "$!PAUSE '" + escaped + "'";
}

rc::Gen<std::string> typedText() {
    return rc::gen::nonEmpty(
        rc::gen::container<std::string>(rc::gen::elementOf(std::string("abcXYZ019'=$!|"))));
}

struct Start : Command {
    void checkPreconditions(const Model& model) const override { RC_PRE(!model.recording); }
    void apply(Model& model) const override {
        model.recording = true;
        ++model.recordings;
        model.lines.clear();
    }
    void act(const Model& model, Session& session) const override {
        session.window =
            MacroRecorderDialog::getInstance(session.host, session.macroPath(model.recordings + 1));
        session.window->launch();
    }
    void show(std::ostream& out) const override { out << "start recording"; }
};

struct InsertText : Command {
    bool pause = *rc::gen::arbitrary<bool>();
    std::string text = *typedText();
    void checkPreconditions(const Model& model) const override { RC_PRE(model.recording); }
    void apply(Model& model) const override { model.lines.push_back(pause ? pauseCommand(text) : text); }
    void act(const Model&, Session& session) const override {
        session.answerer.enterText(QString::fromStdString(text));
        session.click(pause ? "insertPause_Button" : "insertCommand_Button");
        RC_ASSERT(session.answerer.pendingAnswers() == 0u);
    }
    void show(std::ostream& out) const override { out << (pause ? "pause " : "raw ") << text; }
};

struct SwitchGraphics : Command {
    bool on = *rc::gen::arbitrary<bool>();
    bool yes = *rc::gen::arbitrary<bool>();
    void checkPreconditions(const Model& model) const override { RC_PRE(model.recording); }
    void apply(Model& model) const override {
        if (yes)
            model.lines.push_back(on ? "$!DRAWGRAPHICS TRUE" : "$!DRAWGRAPHICS FALSE");
    }
    void act(const Model&, Session& session) const override {
        session.kernel.answerNextQuestions({yes});
        session.click(on ? "unsuspendGraphics_Button" : "suspendGraphics_Button");
    }
    void show(std::ostream& out) const override {
        out << "graphics " << (on ? "on" : "off") << (yes ? ", yes" : ", no");
    }
};

struct Stop : Command {
    bool yes = *rc::gen::arbitrary<bool>();
    void checkPreconditions(const Model& model) const override { RC_PRE(model.recording); }
    void apply(Model& model) const override { model.recording = !yes; }
    void act(const Model&, Session& session) const override {
        session.kernel.answerQuestion(stopQuestion, yes);
        session.click("stop_Button");
    }
    void afterwards(const Model& model, Session& session) const override {
        if (yes)
            RC_ASSERT(readMacroBody(session.macroPath(model.recordings)) == model.lines);
    }
    void show(std::ostream& out) const override { out << "stop" << (yes ? ", yes" : ", no"); }
};

struct Cancel : Command {
    bool yes = *rc::gen::arbitrary<bool>();
    void checkPreconditions(const Model& model) const override { RC_PRE(model.recording); }
    void apply(Model& model) const override { model.recording = !yes; }
    void act(const Model&, Session& session) const override {
        session.kernel.answerQuestion(cancelQuestion, yes);
        session.window->close();
    }
    void afterwards(const Model& model, Session& session) const override {
        if (yes)
            RC_ASSERT(!QFile::exists(QString::fromStdString(session.macroPath(model.recordings))));
    }
    void show(std::ostream& out) const override { out << "cancel" << (yes ? ", yes" : ", no"); }
};

// The host drops the window while it records (it is closing, say): the recording ends as a stop
// would, keeping what was recorded, instead of running on without a window to end it.
struct Drop : Command {
    void checkPreconditions(const Model& model) const override { RC_PRE(model.recording); }
    void apply(Model& model) const override { model.recording = false; }
    void act(const Model&, Session& session) const override { session.window->drop(); }
    void afterwards(const Model& model, Session& session) const override {
        RC_ASSERT(readMacroBody(session.macroPath(model.recordings)) == model.lines);
    }
    void show(std::ostream& out) const override { out << "dropped by the host"; }
};

} // namespace

RC_GTEST_PROP(MacroRecorderStateful, AStoppedRecordingHoldsExactlyWhatWasInsertedACancelledOneNothing, ()) {
    Session session;
    rc::state::check(
        Model{}, session,
        rc::state::gen::execOneOfWithArgs<Start, InsertText, SwitchGraphics, Stop, Cancel, Drop>());
}
