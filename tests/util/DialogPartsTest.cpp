#include "util/DialogParts.h"
#include "host/BindingInterface.h"
#include "propertyframework/RelevanceInterface.h"

#include <QCheckBox>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qelmar::util::test {

using dialogs::io::DialogParts;
using sdk::ui::dialogs::BindingInterface;
using sdk::ui::propertymanager::RelevanceInterface;

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

} // namespace qelmar::util::test
