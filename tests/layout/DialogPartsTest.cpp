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

struct LoggedSet {
    LoggedSet(Log& log, int value)
        : log(log)
        , value(value) {}
    ~LoggedSet() {
        log.push_back("set");
        alive = false;
    }
    Log& log;
    int value;
    bool alive = true;
};

// Works on its set up to its last moment, as a manager that reads the set while it goes may.
struct LoggedManager {
    explicit LoggedManager(LoggedSet& set)
        : set(set) {}
    ~LoggedManager() { set.log.push_back(set.alive ? "manager" : "manager after its set"); }
    LoggedSet& set;
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
    Log log;
    QCheckBox first, second;
    {
        DialogParts<LoggedSet, LoggedManager> parts(log, 7);
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
// built on, and the options stay with the set until the set is submitted.
TEST(DialogParts, TheSaveLayoutManagerWorksOnTheSetBuiltForIt) {
    standin::testing::StyleTestControl styles;
    DialogParts<SaveLayoutPropertiesGenerated, SaveLayoutPropertiesManager> parts(true,
                                                                                  toolbox::StringList());
    EXPECT_EQ(parts.manager().isIncludingData(), parts.properties().IncludeData());
    parts.properties().IncludeData()->setValue(true);
    EXPECT_TRUE(parts.manager().includePreviewImageRelevance()->isRelevant());
    EXPECT_FALSE(parts.manager().useRelativeDataFilePathRelevance()->isRelevant());
}

} // namespace qelmar::layout::test
