#include "util/DialogParts.h"
#include "host/BindingInterface.h"
#include "layout/SaveLayoutPropertiesGenerated.h"
#include "layout/SaveLayoutPropertiesManager.h"
#include "propertyframework/RelevanceInterface.h"

#include "kernel/testing/StyleTestControl.h"

#include <QCheckBox>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qelmar::layout::test {

using dialogs::io::DialogParts;
using dialogs::io::NoPropertySet;
using dialogs::io::SaveLayoutPropertiesManager;
using sdk::ui::dialogs::BindingInterface;
using sdk::ui::dialogs::RelevanceApplier;
using sdk::ui::propertymanager::RelevanceInterface;
using sdk::ui::propertymanager::SaveLayoutPropertiesGenerated;

namespace {

using Log = std::vector<std::string>;

// Outlives the parts, so that what each part sees on its way out can be checked.
struct Journal {
    Log log;
    bool setAlive = false;
};

struct LoggedSet {
    LoggedSet(Journal& journal, int value)
        : journal(journal)
        , value(value) {
        journal.setAlive = true;
    }
    ~LoggedSet() {
        journal.log.push_back("set");
        journal.setAlive = false;
    }
    Journal& journal;
    int value;
};

// Works on its set up to its last moment, as a manager that reads the set while it goes may.
struct LoggedManager {
    explicit LoggedManager(LoggedSet& set)
        : set(set)
        , journal(set.journal) {}
    ~LoggedManager() { journal.log.push_back(journal.setAlive ? "manager" : "manager after its set"); }
    LoggedSet& set;
    Journal& journal;
};

struct SetlessManager {
    int started = 1;
};

struct LoggedBinding : BindingInterface {
    LoggedBinding(Log& log, std::string name)
        : log(log)
        , name(std::move(name)) {}
    ~LoggedBinding() override { log.push_back(name); }
    Log& log;
    std::string name;
};

// Held by its applier alone, so it goes when the applier goes.
struct LoggedRelevance : RelevanceInterface {
    LoggedRelevance(Log& log, std::string name)
        : log(log)
        , name(std::move(name)) {}
    ~LoggedRelevance() override { log.push_back(name); }
    bool isRelevant() const override { return true; }
    Log& log;
    std::string name;
};

} // namespace

TEST(DialogParts, GoInReverseOrderOfDependenceAppliersBindingsManagerSet) {
    Journal journal;
    Log& log = journal.log;
    QCheckBox first, second;
    {
        DialogParts<LoggedSet, LoggedManager> parts(journal, 7);
        EXPECT_EQ(&parts.manager().set, &parts.properties());
        EXPECT_EQ(parts.properties().value, 7);
        parts.bind<LoggedBinding>(log, "binding 1");
        parts.applyRelevance(std::make_shared<LoggedRelevance>(log, "applier 1"), &first);
        parts.bind<LoggedBinding>(log, "binding 2");
        parts.applyRelevance(std::make_shared<LoggedRelevance>(log, "applier 2"), &second);
        EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(log, (Log{"applier 2", "applier 1", "binding 2", "binding 1", "manager", "set"}));
}

TEST(DialogParts, AManagerWithoutAPropertySetIsBuiltFromNothing) {
    DialogParts<NoPropertySet, SetlessManager> parts;
    EXPECT_EQ(parts.manager().started, 1);
    EXPECT_FALSE((DialogParts<NoPropertySet, SetlessManager>::hasPropertySet));
}

// The save-layout parts as its dialog builds them: the manager answers from the set it was
// built on, and the set keeps the user's choice from the configuration until it is submitted.
TEST(DialogParts, TheSaveLayoutManagerWorksOnTheSetBuiltForIt) {
    standin::testing::StyleTestControl styles;
    const standin::StylePath includeData{"FileConfig", "LayoutConfig", "IncludeData"};
    styles.setFromElsewhere(includeData, true);
    DialogParts<SaveLayoutPropertiesGenerated, SaveLayoutPropertiesManager> parts(true,
                                                                                  toolbox::StringList());
    EXPECT_EQ(parts.manager().isIncludingData(), parts.properties().IncludeData());
    EXPECT_TRUE(parts.manager().includePreviewImageRelevance()->isRelevant());
    parts.properties().IncludeData()->setValue(false);
    EXPECT_TRUE(parts.manager().useRelativeDataFilePathRelevance()->isRelevant());
    EXPECT_TRUE(styles.boolValue(includeData));
}

} // namespace qelmar::layout::test
