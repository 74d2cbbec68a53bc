// The advanced-options choice is shared by every load-data dialog of the process. Sequences of
// openings with and without a loader name, loader picks, ticks of the check box and closings
// are checked against a model of the one shared value: the box always shows it, is enabled
// exactly for loaders whose options the user may ask for, a loader that always uses its options
// (or brings its own dialog) always has them on, and the next opening keeps the last choice.

#include "GenericFileLoaderTestLoaders.h"

#include "common/FileDialogSteps.h"
#include "dataload/GenericFileLoaderQtDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTemporaryDir>

#include <rapidcheck/gtest.h>
#include <rapidcheck/state.h>

#include <memory>
#include <ostream>

namespace qelmar::dataload::test {

using dialogs::io::GenericFileLoaderQtDialog;

namespace {

struct LoaderKind {
    const char* name;
    int advancedMode;
    bool modern;
};

// The usual loaders of LoaderRepositoryTest::addUsualLoaders, in repository order.
const LoaderKind loaders[] = {
    {"Binary", 0, true}, {"Delimited Text", 1, true}, {"NetCDF", 2, true}, {"Generator", 1, false}};

bool optionsForced(int loader) {
    const LoaderKind& kind = loaders[loader];
    return !kind.modern || kind.advancedMode == 2;
}

bool userMayChoose(int loader) {
    return loaders[loader].modern && loaders[loader].advancedMode == 1;
}

struct Model {
    bool open = false;
    int loader = 0;
    bool advanced = false;
};

struct Session {
    QWidget host;
    QTemporaryDir folder;
    std::unique_ptr<GenericFileLoaderQtDialog> dialog;

    QCheckBox* box() const {
        for (QCheckBox* candidate : dialog->findChildren<QCheckBox*>()) {
            if (candidate->text() == "Ad&vanced options")
                return candidate;
        }
        return nullptr;
    }

    void expectShows(const Model& model) const {
        QCoreApplication::processEvents();
        QCheckBox* advanced = box();
        RC_ASSERT(advanced != nullptr);
        RC_ASSERT(dialog->fileTypeCombo()->currentIndex() == model.loader);
        RC_ASSERT(advanced->isChecked() == model.advanced);
        RC_ASSERT(dialog->advancedOptionsSelected() == model.advanced);
        RC_ASSERT(advanced->isEnabled() == userMayChoose(model.loader));
    }
};

using Command = rc::state::Command<Model, Session>;

struct Open : Command {
    // A host names the loader it wants first, or none (the dialog then starts on the first).
    int named = *rc::gen::inRange(-1, 4);
    void checkPreconditions(const Model& model) const override { RC_PRE(!model.open); }
    // The last dialog's choice carries over where the loader leaves the choice to the user.
    void apply(Model& model) const override {
        model.open = true;
        model.loader = named < 0 ? 0 : named;
        model.advanced = optionsForced(model.loader) || (model.advanced && userMayChoose(model.loader));
    }
    void run(const Model& model, Session& session) const override {
        session.dialog = std::make_unique<GenericFileLoaderQtDialog>(
            session.host, named < 0 ? std::string() : loaders[named].name,
            session.folder.path().toStdString());
        session.dialog->show();
        Model next = model;
        apply(next);
        session.expectShows(next);
    }
    void show(std::ostream& out) const override {
        out << "open on " << (named < 0 ? "no loader" : loaders[named].name);
    }
};

struct PickLoader : Command {
    int loader = *rc::gen::inRange(0, 4);
    void checkPreconditions(const Model& model) const override { RC_PRE(model.open); }
    void apply(Model& model) const override {
        if (loader == model.loader)
            return;
        model.loader = loader;
        model.advanced = optionsForced(loader);
    }
    void run(const Model& model, Session& session) const override {
        testsupport::chooseFileType(*session.dialog, loader);
        Model next = model;
        apply(next);
        session.expectShows(next);
    }
    void show(std::ostream& out) const override { out << "pick " << loaders[loader].name; }
};

struct TickAdvanced : Command {
    void checkPreconditions(const Model& model) const override {
        RC_PRE(model.open && userMayChoose(model.loader));
    }
    void apply(Model& model) const override { model.advanced = !model.advanced; }
    void run(const Model& model, Session& session) const override {
        session.box()->click();
        Model next = model;
        apply(next);
        session.expectShows(next);
    }
    void show(std::ostream& out) const override { out << "tick advanced options"; }
};

struct Close : Command {
    void checkPreconditions(const Model& model) const override { RC_PRE(model.open); }
    void apply(Model& model) const override { model.open = false; }
    void run(const Model&, Session& session) const override {
        session.dialog->reject();
        session.dialog.reset();
    }
    void show(std::ostream& out) const override { out << "close"; }
};

} // namespace

class AdvancedOptionsAcrossOpenings : public LoaderRepositoryTest {
public:
    void TestBody() override {}
    using LoaderRepositoryTest::addUsualLoaders;
    using LoaderRepositoryTest::SetUp;
    using LoaderRepositoryTest::TearDown;
};

RC_GTEST_PROP(AdvancedOptionsAcrossOpenings, EveryOpeningShowsTheSharedChoiceItsLoaderAllows, ()) {
    AdvancedOptionsAcrossOpenings repository;
    repository.SetUp();
    AdvancedOptionsAcrossOpenings::addUsualLoaders();
    Session session;
    rc::state::check(Model{}, session,
                     rc::state::gen::execOneOfWithArgs<Open, PickLoader, TickAdvanced, Close>());
    session.dialog.reset();
    repository.TearDown();
}

} // namespace qelmar::dataload::test
