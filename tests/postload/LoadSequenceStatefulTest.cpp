#include "postload/PostLoadOptionsPropertiesManager.h"

#include "host/ArgList.h"
#include "host/DataLoadOption.h"
#include "host/KernelLayout.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"
#include "kernel/ApplicationModel.h"
#include "kernel/DataFileFormat.h"
#include "kernel/DataLoading.h"
#include "kernel/LastError.h"
#include "kernel/LayoutPackage.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>
#include <rapidcheck/state.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <ostream>
#include <set>

// Sequences of loads and appends whose variables the user matches in the post-load window,
// through the real manager, against what the user believes the data set then holds: every value
// of a file lands in the variable whose entry names it as written, or in the data set's variable
// the window matched it to in another letter case; a variable of the data set never goes; a
// cancelled load changes nothing; a package saved at any point holds exactly that data set.

namespace {

using qelmar::sdk::ui::propertymanager::PostLoadOptionsPropertiesManager;
using qelmar::toolbox::StringList;
using Names = std::vector<std::string>;
using Zone = std::vector<double>; // one value per variable: each file holds one point

struct DataModel {
    Names variables;
    std::vector<Zone> zones;
};

bool sameValue(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

bool operator==(const DataModel& a, const DataModel& b) {
    if (a.variables != b.variables || a.zones.size() != b.zones.size())
        return false;
    for (std::size_t zone = 0; zone < a.zones.size(); ++zone) {
        if (!std::equal(a.zones[zone].begin(), a.zones[zone].end(), b.zones[zone].begin(),
                        b.zones[zone].end(), sameValue))
            return false;
    }
    return true;
}

std::ostream& operator<<(std::ostream& os, const DataModel& data) {
    for (const std::string& name : data.variables)
        os << name << ' ';
    for (const Zone& zone : data.zones) {
        os << "|";
        for (double value : zone)
            os << ' ' << value;
    }
    return os;
}

enum class Click { Add, AddAll, Combine, Remove, ApplyAliases };

struct WindowStep {
    Click click = Click::Add;
    int available = 0;
    int toLoad = 0;
};

struct Load {
    bool append = false;
    std::vector<Names> files;
    std::vector<WindowStep> steps;
    bool cancel = false;
};

std::ostream& operator<<(std::ostream& os, const Load& load) {
    os << (load.append ? "append" : "load");
    for (const Names& file : load.files) {
        os << " [";
        for (const std::string& name : file)
            os << ' ' << name;
        os << " ]";
    }
    static const char* const clicks[] = {"add", "add-all", "combine", "remove", "aliases"};
    for (const WindowStep& step : load.steps)
        os << ' ' << clicks[static_cast<int>(step.click)] << '(' << step.available << ',' << step.toLoad
           << ')';
    return os << (load.cancel ? " cancel" : " ok");
}

Names namesOf(const std::string& entry) {
    const StringList split = StringList::fromNLString(entry.c_str());
    Names names;
    for (long index = 0; index < split.size(); ++index)
        names.push_back(split.get(index));
    return names;
}

std::string lowerCased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// How many ways the names spell `name` in any letter case. A data set may hold two variables of
// one name (the window can add a name that already has an entry): that is still one spelling, so
// other cases of it still find it.
std::size_t spellingsOf(const std::string& name, const Names& names) {
    std::set<std::string> spellings;
    for (const std::string& other : names) {
        if (lowerCased(other) == lowerCased(name))
            spellings.insert(other);
    }
    return spellings.size();
}

// What the user believes a load does, given the entries the window answered.
class ExpectedLoad {
public:
    ExpectedLoad(Names existing, Names entries)
        : m_existing(std::move(existing))
        , m_entries(std::move(entries)) {}

    Names variables() const {
        Names names;
        for (const std::string& entry : m_entries)
            names.push_back(namesOf(entry).front());
        return names;
    }

    // The file's value that fills the entry, or NaN: the first of the entry's names, in the
    // order they joined it, that the file has as written or, for a name of an existing variable,
    // in another case when neither the data set nor the file spells it more than one way. A
    // value that filled an earlier entry fills no other.
    int positionFor(const std::string& entry, const Names& file, const std::vector<bool>& used) const {
        for (const std::string& name : namesOf(entry)) {
            const auto sameLetters = [&name](const std::string& other) {
                return lowerCased(other) == lowerCased(name);
            };
            auto found = std::find(file.begin(), file.end(), name);
            const bool existing = std::find(m_existing.begin(), m_existing.end(), name) != m_existing.end();
            if (found == file.end() && existing && spellingsOf(name, m_existing) == 1 &&
                spellingsOf(name, file) == 1)
                found = std::find_if(file.begin(), file.end(), sameLetters);
            const auto position = found - file.begin();
            if (found != file.end() && !used[static_cast<std::size_t>(position)])
                return static_cast<int>(position);
        }
        return -1;
    }

    Zone zoneOf(const Names& file, const Zone& values) const {
        Zone zone;
        std::vector<bool> used(file.size(), false);
        for (const std::string& entry : m_entries) {
            const int position = positionFor(entry, file, used);
            zone.push_back(position < 0 ? std::nan("") : values[static_cast<std::size_t>(position)]);
            if (position >= 0)
                used[static_cast<std::size_t>(position)] = true;
        }
        return zone;
    }

private:
    Names m_existing;
    Names m_entries;
};

struct Idle {};

// The kernel, the application with one frame showing data, and the window's manager, which the
// kernel's match-variables callback drives as a user would.
class LoadingSession {
public:
    LoadingSession() {
        frame = app.addFrame(app.addPage("Page"), "Frame");
        app.attachDataSet(frame, {"start", {"t", "x"}, {{1.0}, {2.0}}}, true);
        expected = {{"t", "x"}, {{1.0, 2.0}}};
        QFile file(QDir(folder.path()).filePath(QStringLiteral("variable_aliases.txt")));
        file.open(QIODevice::WriteOnly);
        file.write("#!QELMAR VA 1\nP;pressure;Press\nx;X\n");
        file.close();
        manager.filePath()->setValue(file.fileName().toStdString());
        QelEngMatchVariablesRegisterCallback(&LoadingSession::answer, this);
    }
    ~LoadingSession() { QelEngMatchVariablesRegisterCallback(nullptr, nullptr); }
    LoadingSession(const LoadingSession&) = delete;
    LoadingSession& operator=(const LoadingSession&) = delete;

    DataModel shown() const {
        const auto& dataSet = *qelmar::standin::ApplicationModel::instance().frame(frame).dataSet;
        DataModel data{dataSet.contents.variableNames, {}};
        const auto zoneOf = [](const qelmar::standin::DataValues& values) {
            Zone zone;
            for (const auto& variable : values.values)
                zone.push_back(variable.at(0));
            return zone;
        };
        data.zones.push_back(zoneOf(dataSet.contents));
        for (const auto& later : dataSet.laterZones)
            data.zones.push_back(zoneOf(later));
        return data;
    }

    void run(const Load& load) {
        const DataModel before = shown();
        std::vector<qelmar::standin::LoadedFile> files;
        std::vector<Zone> values;
        for (const Names& names : load.files) {
            qelmar::standin::DataValues file{"file", names, {}, {}};
            Zone zone;
            for (std::size_t name = 0; name < names.size(); ++name) {
                zone.push_back(static_cast<double>(++m_lastValue));
                file.values.push_back({zone.back()});
            }
            values.push_back(zone);
            files.push_back({std::string(), std::move(file), {}});
        }
        m_load = &load;
        m_answer.reset();
        m_asked = false;
        const bool loaded = qelmar::standin::loadData(std::move(files),
                                                      load.append ? qelmar::dataload::Append
                                                                  : qelmar::dataload::ReplaceAndRetainStyle);

        if (m_asked && load.cancel) {
            RC_ASSERT(!loaded);
            RC_ASSERT(qelmar::standin::lastErrorMessage().empty());
            RC_ASSERT(shown() == before);
            return;
        }
        RC_ASSERT(loaded);
        const Names existing = load.append ? expected.variables : load.files.front();
        const ExpectedLoad outcome(existing, m_answer ? *m_answer : existing);
        DataModel next{outcome.variables(), {}};
        if (load.append) {
            for (const std::string& variable : expected.variables)
                RC_ASSERT(std::find(next.variables.begin(), next.variables.end(), variable) !=
                          next.variables.end());
            for (const Zone& zone : expected.zones)
                next.zones.push_back(outcome.zoneOf(expected.variables, zone));
        }
        for (std::size_t file = 0; file < load.files.size(); ++file)
            next.zones.push_back(outcome.zoneOf(load.files[file], values[file]));
        expected = next;
        RC_ASSERT(shown() == expected);
    }

    // Saving as a package changes nothing, and the package holds what the user believes the data
    // set is: every zone, every variable under its own name.
    void save() {
        const DataModel before = shown();
        const std::string package = QDir(folder.path()).filePath(QStringLiteral("session.lpk")).toStdString();
        qelmar::toolbox::ArgList args;
        args.appendString("FName", package);
        args.appendInt("IncludeData", 1);
        RC_ASSERT(QelUtilSaveLayoutX(args.getRef()));
        RC_ASSERT(shown() == before);
        const qelmar::standin::LayoutDocument layout = qelmar::standin::readPackagedLayout(package);
        RC_ASSERT(layout.pages.size() == 1u && layout.pages[0].frames.size() == 1u);
        const auto& files = layout.pages[0].frames[0].dataFiles;
        RC_ASSERT(files.size() == 1u);
        const qelmar::standin::DataFileContents contents =
            qelmar::standin::decodeDataFile(qelmar::standin::readPackageEntry(package, files[0]), package);
        DataModel saved{contents.first().variableNames, {}};
        for (const auto& zone : contents.zones) {
            Zone values;
            for (const auto& variable : zone.front().values)
                values.push_back(variable.at(0));
            saved.zones.push_back(values);
        }
        RC_ASSERT(saved == expected);
    }

    DataModel expected;

private:
    static StringList_s* answer(StringList_s* existing, StringList_s* const* incoming, long count,
                                void* self) {
        return static_cast<LoadingSession*>(self)->answer(existing, incoming, count);
    }

    StringList_s* answer(StringList_s* existing, StringList_s* const* incoming, long count) {
        m_asked = true;
        manager.initializeManager(existing, incoming, count);
        for (const WindowStep& step : m_load->steps)
            click(step);
        if (m_load->cancel)
            return nullptr;
        StringList_s* answer = manager.varNamesToLoad();
        const StringList copy(QelUtilStringListCopy(answer));
        m_answer = Names();
        for (long entry = 0; entry < copy.size(); ++entry)
            m_answer->push_back(copy.get(entry));
        return answer;
    }

    void click(const WindowStep& step) {
        const int available = manager.varsAvailableModel()->size();
        const int toLoad = manager.varsToLoadModel()->size();
        const std::set<int> availableRow =
            available > 0 ? std::set<int>{step.available % available} : std::set<int>{};
        const std::set<int> toLoadRow = toLoad > 0 ? std::set<int>{step.toLoad % toLoad} : std::set<int>{};
        switch (step.click) {
        case Click::Add:
            manager.selectedVarsAvailable()->setValue(availableRow);
            manager.add();
            break;
        case Click::AddAll:
            manager.addAll();
            break;
        case Click::Combine:
            manager.selectedVarsAvailable()->setValue(availableRow);
            manager.selectedVarsToLoad()->setValue(toLoadRow);
            manager.combine();
            break;
        case Click::Remove:
            manager.selectedVarsToLoad()->setValue(toLoadRow);
            manager.remove();
            break;
        case Click::ApplyAliases:
            manager.applyVarAliases();
            break;
        }
    }

    qelmar::standin::testing::KernelTestControl kernel;
    qelmar::standin::testing::ApplicationTestControl app;
    QTemporaryDir folder;
    int frame = 0;
    PostLoadOptionsPropertiesManager manager;
    const Load* m_load = nullptr;
    bool m_asked = false;
    std::optional<Names> m_answer;
    int m_lastValue = 100;
};

rc::Gen<Names> fileNames() {
    static const Names pool{"t", "T", "p", "P", "Press", "pressure", "x", "X"};
    return rc::gen::nonEmpty(rc::gen::unique<Names>(rc::gen::elementOf(pool)));
}

rc::Gen<WindowStep> windowStep() {
    return rc::gen::build<WindowStep>(
        rc::gen::set(&WindowStep::click, rc::gen::element(Click::Add, Click::AddAll, Click::Combine,
                                                          Click::Remove, Click::ApplyAliases)),
        rc::gen::set(&WindowStep::available, rc::gen::inRange(0, 6)),
        rc::gen::set(&WindowStep::toLoad, rc::gen::inRange(0, 6)));
}

struct LoadCommand : rc::state::Command<Idle, LoadingSession> {
    Load load;

    LoadCommand() {
        load.append = *rc::gen::arbitrary<bool>();
        load.files =
            *rc::gen::resize(3, rc::gen::nonEmpty(rc::gen::container<std::vector<Names>>(fileNames())));
        load.steps = *rc::gen::resize(6, rc::gen::container<std::vector<WindowStep>>(windowStep()));
        load.cancel = *rc::gen::weightedElement<bool>({{1, true}, {3, false}});
    }
    void run(const Idle&, LoadingSession& session) const override { session.run(load); }
    void show(std::ostream& os) const override { os << load; }
};

struct SaveCommand : rc::state::Command<Idle, LoadingSession> {
    void run(const Idle&, LoadingSession& session) const override { session.save(); }
    void show(std::ostream& os) const override { os << "save as a package"; }
};

// The session checks each load with RC_ASSERT, which outside a property throws its result.
void runOutsideProperty(LoadingSession& session, const Load& load) {
    try {
        session.run(load);
    } catch (const rc::detail::CaseResult& result) {
        FAIL() << load << "\n" << result.description;
    }
}

// The window adds a second variable "P" (the files' "P" first joined "Press" through the aliases,
// then left it again); a later file's "p" is still that one spelling in another case, and fills
// the first "P". The window offers the data set's variables once, so the append keeps one "P".
TEST(LoadSequences, OtherCaseOfANameTheDataSetHoldsTwiceFillsIt) {
    LoadingSession session;
    runOutsideProperty(
        session,
        {false,
         {{"Press"}, {"P"}, {"P", "Press"}},
         {{Click::ApplyAliases, 0, 0}, {Click::AddAll, 0, 0}, {Click::Remove, 0, 0}, {Click::Add, 0, 0}},
         false});
    ASSERT_EQ(session.shown().variables, (Names{"Press", "P", "P"}));

    runOutsideProperty(session, {true, {{"p"}}, {}, false});
    const double none = std::nan("");
    EXPECT_EQ(session.shown(),
              (DataModel{{"Press", "P"}, {{101, none}, {none, 102}, {104, 103}, {none, 105}}}));
}

RC_GTEST_PROP(LoadSequences, KeepEveryVariableAndPutEachValueWhereTheUserMatchedIt, ()) {
    LoadingSession session;
    rc::state::check(Idle{}, session,
                     rc::state::gen::execOneOfWithArgs<LoadCommand, LoadCommand, SaveCommand>());
}

} // namespace
