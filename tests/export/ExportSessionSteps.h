#pragma once

// What the stateful suites of the export dialog share: a session around the one dialog of the
// process, and steps after which either the open dialog shows what the model holds pending or
// the kernel holds what the model says it does.

#include "ExportDialogSteps.h"

#include <rapidcheck/gtest.h>
#include <rapidcheck/state.h>

#include <ostream>

namespace qelmar::exporting::test {

// The system under test: the real dialog over the stand-in kernel, driven as a user drives it.
template <class Fixture> class ExportSession : public Fixture {
public:
    using Fixture::files;
    using Fixture::path;
    using Fixture::pressOk;
    using Fixture::SetUp;
    using Fixture::styles;
    using Fixture::TearDown;

    void TestBody() override {}

    // The width choice outlives every dialog of the process, so a session starts from whatever
    // the sessions before it left.
    static bool widthChoiceOfTheProcess() {
        ExportPropertiesGenerated set(true, toolbox::StringList());
        return ExportPropertiesManager(set).useUserDefinedWidth()->retrieveValue();
    }

    // The host asks for the dialog on every opening, and only then.
    ExportDialog& openDialog() {
        m_dialog = &this->open();
        return *m_dialog;
    }
    ExportDialog& dialog() { return *m_dialog; }

private:
    ExportDialog* m_dialog = nullptr;
};

// A user's step in the open dialog; the session then checks what the dialog shows.
template <class Model, class Session> struct EditStep : rc::state::Command<Model, Session> {
    void checkPreconditions(const Model& model) const override { RC_PRE(model.open); }
    void run(const Model& model, Session& session) const override {
        act(model, session);
        Model next = model;
        this->apply(next);
        session.checkShown(next);
    }
    virtual void act(const Model& model, Session& session) const = 0;
};

// A step that closes the dialog or comes while it is closed; the kernel then holds the model's
// values. The width choice is the dialog's, not the kernel's: the model's belief stands in for it.
template <class Model, class Session> struct KernelStep : rc::state::Command<Model, Session> {
    void run(const Model& model, Session& session) const override {
        act(model, session);
        Model next = model;
        this->apply(next);
        RC_ASSERT(session.kernelSettings(next.kernel.typedWidth) == next.kernel);
    }
    virtual void act(const Model& model, Session& session) const = 0;
};

template <class Model, class Session> struct CancelStep : KernelStep<Model, Session> {
    void checkPreconditions(const Model& model) const override { RC_PRE(model.open); }
    void apply(Model& model) const override { model.open = false; }
    void act(const Model&, Session& session) const override {
        session.dialog().reject();
        QCoreApplication::processEvents();
    }
    void show(std::ostream& out) const override { out << "cancel"; }
};

} // namespace qelmar::exporting::test
