#include "postload/CoveragePanel.h"
#include "postload/CoverageTableModel.h"
#include "postload/PostLoadOptionsDialog.h"
#include "postload/PostLoadOptionsPropertiesManager.h"

#include "host/KernelDataLoad.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"
#include "kernel/ApplicationModel.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"

#include <QApplication>
#include <QBrush>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>
#include <rapidcheck/state.h>

#include <cmath>
#include <exception>
#include <functional>
#include <set>

// The coverage table of the "Variable Load and Combine" window, driven through the real window
// that the kernel's load calls back, with the real kernel answering and loading.

namespace {

using qelmar::dialogs::io::PostLoadOptionsDialog;
using qelmar::sdk::ui::postload::CoveragePanel;
using qelmar::sdk::ui::postload::CoverageTableModel;
using qelmar::toolbox::StringList;
using Names = std::vector<std::string>;

// The window keeps the widget it was first registered with; this one outlives every test.
QWidget& host() {
    static QWidget* widget = new QWidget;
    return *widget;
}

template <typename T = QPushButton> T& child(QDialog& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        throw std::runtime_error(std::string("the window has no ") + name);
    return *widget;
}

StringList listOf(const Names& names) {
    StringList list;
    for (const std::string& name : names)
        list.append(name);
    return list;
}

// Each file holds one point; its column j holds file * 1000 + j, so a value tells where it came
// from.
double valueOf(std::size_t file, std::size_t column) {
    return static_cast<double>(file * 1000 + column);
}

// The one window, made anew around each test so that it reads the aliases file of the test's
// startup folder, with the host's additions as the test sets them.
class CoverageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        PostLoadOptionsDialog::registerCallback(host());
        qelmar::standin::testing::ApplicationTestControl::setStartupFolder(folder.path().toStdString());
        QFile aliases(folder.filePath(QStringLiteral("variable_aliases.txt")));
        aliases.open(QIODevice::WriteOnly);
        aliases.write("#!QELMAR VA 1\nTemp;Temperature;T_air\nPressure;Press;p\nWind Speed;Wind_Speed;ws\n");
        aliases.close();
        dropWindow();
        PostLoadOptionsDialog::setAdditions({true, false, false, false});
    }
    void TearDown() override {
        PostLoadOptionsDialog::setAdditions({});
        dropWindow();
    }

    static void dropWindow() { delete PostLoadOptionsDialog::getInstance(host()); }

    // Loads the files through the kernel's data load, as a loader does; `whileShown` runs inside
    // the window if the load opens it, and its failures come back here once the load is over.
    bool load(const std::vector<Names>& files, std::function<void(QDialog&)> whileShown) {
        return loadWith(
            [&](DataLoad_s* data) {
                for (std::size_t file = 0; file < files.size(); ++file) {
                    QelUtilDataLoadBeginFile(data, stationPath(file).c_str());
                    addZone(data, files[file], file);
                }
            },
            std::move(whileShown));
    }

    std::string stationPath(std::size_t file) const {
        return folder.filePath(QStringLiteral("station%1.csv").arg(file)).toStdString();
    }

    static void addZone(DataLoad_s* data, const Names& names, std::size_t file) {
        QelUtilDataLoadBeginZone(data, "zone");
        for (std::size_t column = 0; column < names.size(); ++column) {
            const double value = valueOf(file, column);
            QelUtilDataLoadAddVariable(data, names[column].c_str(), &value, 1);
        }
    }

    bool loadWith(const std::function<void(DataLoad_s*)>& fill, std::function<void(QDialog&)> whileShown) {
        std::exception_ptr failure;
        shown = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            shown = true;
            try {
                whileShown(*dialog);
            } catch (...) {
                failure = std::current_exception();
            }
            if (dialog->isVisible()) // a failed step must not leave the run waiting
                dialog->reject();
        });
        DataLoad_s* data = QelUtilDataLoadAlloc();
        fill(data);
        const bool loaded = QelUtilDataLoadApply(data, qelmar::dataload::ReplaceAndRetainStyle);
        QelUtilDataLoadDealloc(&data);
        QCoreApplication::processEvents();
        if (failure)
            std::rethrow_exception(failure);
        return loaded;
    }

    static const qelmar::standin::DataSet& loadedDataSet() {
        return *qelmar::standin::ApplicationModel::instance().currentFrame()->dataSet;
    }

    qelmar::standin::testing::KernelTestControl kernel;
    qelmar::standin::testing::ApplicationTestControl application;
    QTemporaryDir temporary;
    QDir folder{temporary.path()};
    bool shown = false;
};

CoverageTableModel& coverageOf(QDialog& dialog) {
    return child<CoveragePanel>(dialog, "coverage_Panel").model();
}

QString cell(const CoverageTableModel& coverage, int row, int column, int role = Qt::DisplayRole) {
    return coverage.data(coverage.index(row, column), role).toString();
}

void select(QListView& view, int row) {
    view.selectionModel()->select(view.model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
}

void press(QAbstractButton& button) {
    QTest::mouseClick(&button, Qt::LeftButton);
    QCoreApplication::processEvents(); // the table follows one event-loop turn later
}

int rowNamed(QListView& view, const QString& text) {
    for (int row = 0; row < view.model()->rowCount(); ++row) {
        if (view.model()->index(row, 0).data().toString().contains(text))
            return row;
    }
    throw std::runtime_error("no row shows " + text.toStdString());
}

// Three stations: the second spells the temperature differently and the user combines it; the
// third has no pressure at all, and its wind speed stays unmatched.
TEST_F(CoverageWindowTest, ShowsWhichNameFillsEachVariableAndWhatAFileLeavesEmpty) {
    const bool loaded = load(
        {{"Time", "Temp", "Pressure"}, {"Time", "T_air", "Pressure"}, {"Time", "Temp", "ws"}},
        [&](QDialog& dialog) {
            CoverageTableModel& coverage = coverageOf(dialog);
            EXPECT_TRUE(child<QTableView>(dialog, "coverage_TableView").isVisible());
            EXPECT_TRUE(child<QLabel>(dialog, "coverage_Label").isVisible());
            ASSERT_EQ(coverage.rowCount(), 3);
            ASSERT_EQ(coverage.columnCount(), 4);
            EXPECT_EQ(coverage.headerData(0, Qt::Vertical).toString(), "station0.csv");
            EXPECT_EQ(coverage.headerData(2, Qt::Vertical).toString(), "station2.csv");
            EXPECT_EQ(coverage.headerData(1, Qt::Horizontal).toString(), "2: Temp");
            EXPECT_EQ(coverage.headerData(3, Qt::Horizontal).toString(), "Unmatched");
            EXPECT_EQ(cell(coverage, 1, 1), "");
            EXPECT_EQ(cell(coverage, 1, 3), "T_air");
            EXPECT_EQ(cell(coverage, 2, 3), "ws");

            auto& available = child<QListView>(dialog, "incomingVarList");
            auto& toLoad = child<QListView>(dialog, "varsToLoadList");
            select(available, rowNamed(available, QStringLiteral("T_air")));
            select(toLoad, 1);
            press(child(dialog, "combine_pushButton"));

            EXPECT_EQ(cell(coverage, 0, 1), QStringLiteral("\u2713"));
            EXPECT_EQ(cell(coverage, 1, 1), "T_air");
            EXPECT_EQ(cell(coverage, 1, 3), "");
            // The third station has no pressure: visible at a glance.
            const QModelIndex empty = coverage.index(2, 2);
            EXPECT_EQ(cell(coverage, 2, 2, CoverageTableModel::FillingNameRole), "");
            EXPECT_TRUE(empty.data(Qt::BackgroundRole).value<QBrush>().style() != Qt::NoBrush);
            EXPECT_FALSE(coverage.index(1, 2).data(Qt::BackgroundRole).isValid());
            EXPECT_EQ(empty.data(Qt::ToolTipRole).toString(), "station2.csv leaves Pressure empty");
            press(*child<QDialogButtonBox>(dialog, "PostLoadOptions_buttonBox").button(QDialogButtonBox::Ok));
        });
    ASSERT_TRUE(shown);
    ASSERT_TRUE(loaded);
    const auto& dataSet = loadedDataSet();
    ASSERT_EQ(dataSet.contents.variableNames, (Names{"Time", "Temp", "Pressure"}));
    ASSERT_EQ(dataSet.laterZones.size(), 2u);
    EXPECT_EQ(dataSet.laterZones[0].values[1].at(0), valueOf(1, 1)); // T_air
    EXPECT_TRUE(std::isnan(dataSet.laterZones[1].values[2].at(0)));
}

// A file of several zones has a row per zone, which names the zone; the table forgets the load's
// lists once the load is over.
TEST_F(CoverageWindowTest, NamesEachZoneOfAFileOfSeveralZones) {
    QStringList rows;
    CoverageTableModel* coverage = nullptr;
    loadWith(
        [&](DataLoad_s* data) {
            QelUtilDataLoadBeginFile(data, stationPath(0).c_str());
            addZone(data, {"Time", "Temp"}, 0);
            QelUtilDataLoadBeginFile(data, stationPath(1).c_str());
            addZone(data, {"Time", "Rain"}, 1);
            addZone(data, {"Time", "Solar"}, 2);
        },
        [&](QDialog& dialog) {
            coverage = &coverageOf(dialog);
            for (int row = 0; row < coverage->rowCount(); ++row)
                rows.append(coverage->headerData(row, Qt::Vertical).toString());
        });
    EXPECT_EQ(rows, (QStringList{"station0.csv", "station1.csv (zone 1)", "station1.csv (zone 2)"}));
    ASSERT_NE(coverage, nullptr);
    EXPECT_EQ(coverage->rowCount(), 0);
}

// The names of an object tree that a user can see, Qt's own internals aside.
std::set<QString> visibleNamedWidgets(QWidget& top) {
    std::set<QString> names;
    for (QWidget* widget : top.findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (!name.isEmpty() && !name.startsWith(QStringLiteral("qt_")) && widget->isVisibleTo(&top))
            names.insert(name);
    }
    return names;
}

TEST_F(CoverageWindowTest, WithoutTheAdditionTheWindowIsThePlainForm) {
    // The form's named widgets; its Uncombine button is never shown.
    const std::set<QString> expected{"info_label",
                                     "label",
                                     "label_2",
                                     "label_3",
                                     "label_5",
                                     "incomingVarList",
                                     "varsToLoadList",
                                     "addVariable_pushButton",
                                     "addVariable_pushButton_2",
                                     "combine_pushButton",
                                     "remove_pushButton",
                                     "aliasFile_LineEdit",
                                     "apply_Button",
                                     "PostLoadOptions_buttonBox"};

    // Once with the window made while the addition was on, once with a window made without it.
    for (int made = 0; made < 2; ++made) {
        if (made == 1)
            dropWindow();
        PostLoadOptionsDialog::setAdditions({});
        load({{"A"}, {"A", "B"}}, [&](QDialog& dialog) {
            EXPECT_EQ(visibleNamedWidgets(dialog), expected);
            const auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("postLoadAdditions_Splitter"));
            EXPECT_TRUE(!splitter || !splitter->isVisible());
        });
        EXPECT_TRUE(shown);
    }
}

// ---- Random loads and random command sequences -----------------------------------------------

// The names a station's logger may give its variables: the same quantity in several spellings,
// letter cases and separators, and quantities only some stations measure.
rc::Gen<Names> stationNames() {
    static const Names pool{"Time",       "time",       "Temp",     "TEMP",  "Temperature",
                            "T_air",      "Pressure",   "pressure", "Press", "Wind Speed",
                            "Wind_Speed", "wind-speed", "ws",       "Rain",  "Solar"};
    return rc::gen::resize(6, rc::gen::nonEmpty(rc::gen::unique<Names>(rc::gen::elementOf(pool))));
}

// What the commands run on: the window of one load, and the files of that load.
struct Window {
    QDialog& dialog;
    const std::vector<Names>& files;
    // After each command: the table's cells, as the kernel answers them for the list the window
    // would hand back now.
    std::vector<std::vector<QString>> lastFillings;
};
struct Idle {};
using WindowCommand = rc::state::Command<Idle, Window>;

void checkCoverage(Window& window) {
    QCoreApplication::processEvents();
    CoverageTableModel& coverage = coverageOf(window.dialog);
    const StringList toLoad(coverage.manager().varNamesToLoad());
    const StringList existing = listOf(window.files.front());
    std::vector<long> columns;
    for (long entry = 0; entry < toLoad.size(); ++entry) {
        if (toLoad[entry])
            columns.push_back(entry);
    }
    RC_ASSERT(coverage.rowCount() == static_cast<int>(window.files.size()));
    RC_ASSERT(coverage.columnCount() == static_cast<int>(columns.size()) + 1);
    window.lastFillings.clear();
    for (std::size_t row = 0; row < window.files.size(); ++row) {
        const StringList own = listOf(window.files[row]);
        const StringList answer(
            QelAppVarNameListGetFillingNames(existing.getRef(), toLoad.getRef(), own.getRef()));
        RC_ASSERT(answer.size() == toLoad.size());
        std::vector<QString> fillings;
        for (std::size_t column = 0; column < columns.size(); ++column) {
            const QString shown = cell(coverage, static_cast<int>(row), static_cast<int>(column),
                                       CoverageTableModel::FillingNameRole);
            RC_ASSERT(shown.toStdString() == answer.get(columns[column]));
            fillings.push_back(shown);
        }
        window.lastFillings.push_back(fillings);
    }
}

struct AddSelected : WindowCommand {
    int row = *rc::gen::inRange(0, 12);
    void run(const Idle&, Window& window) const override {
        auto& available = child<QListView>(window.dialog, "incomingVarList");
        if (const int rows = available.model()->rowCount(); rows > 0)
            select(available, row % rows);
        press(child(window.dialog, "addVariable_pushButton"));
        checkCoverage(window);
    }
    void show(std::ostream& os) const override { os << "add selected " << row; }
};

struct AddAll : WindowCommand {
    void run(const Idle&, Window& window) const override {
        press(child(window.dialog, "addVariable_pushButton_2"));
        checkCoverage(window);
    }
    void show(std::ostream& os) const override { os << "add all"; }
};

struct Remove : WindowCommand {
    int row = *rc::gen::inRange(0, 12);
    void run(const Idle&, Window& window) const override {
        auto& toLoad = child<QListView>(window.dialog, "varsToLoadList");
        if (const int rows = toLoad.model()->rowCount(); rows > 0)
            select(toLoad, row % rows);
        press(child(window.dialog, "remove_pushButton"));
        checkCoverage(window);
    }
    void show(std::ostream& os) const override { os << "remove " << row; }
};

struct Combine : WindowCommand {
    int availableRow = *rc::gen::inRange(0, 12);
    int toLoadRow = *rc::gen::inRange(0, 12);
    void run(const Idle&, Window& window) const override {
        auto& available = child<QListView>(window.dialog, "incomingVarList");
        auto& toLoad = child<QListView>(window.dialog, "varsToLoadList");
        if (const int rows = available.model()->rowCount(); rows > 0)
            select(available, availableRow % rows);
        if (const int rows = toLoad.model()->rowCount(); rows > 0)
            select(toLoad, toLoadRow % rows);
        press(child(window.dialog, "combine_pushButton"));
        checkCoverage(window);
    }
    void show(std::ostream& os) const override { os << "combine " << availableRow << " " << toLoadRow; }
};

struct ApplyAliases : WindowCommand {
    void run(const Idle&, Window& window) const override {
        press(child(window.dialog, "apply_Button"));
        checkCoverage(window);
    }
    void show(std::ostream& os) const override { os << "apply aliases"; }
};

// After every command the table is the kernel's answer for the list the window would hand back;
// once accepted, every zone's variable holds the value of the column the table named for its
// file, and is NaN exactly where the table showed the cell empty.
RC_GTEST_FIXTURE_PROP(CoverageWindowTest, TheTableIsWhatTheLoadDoesAfterEveryCommand, ()) {
    const auto files = *rc::gen::container<std::vector<Names>>(
        static_cast<std::size_t>(*rc::gen::inRange(3, 7)), stationNames());
    const auto commands = *rc::gen::resize(
        8,
        rc::state::gen::commands(
            Idle{}, rc::state::gen::execOneOfWithArgs<AddSelected, AddAll, Remove, Combine, ApplyAliases>()));
    std::vector<std::vector<QString>> table;
    const bool loaded = load(files, [&](QDialog& dialog) {
        Window window{dialog, files, {}};
        checkCoverage(window);
        Idle idle;
        rc::state::runAll(commands, idle, window);
        table = window.lastFillings;
        child<QDialogButtonBox>(dialog, "PostLoadOptions_buttonBox").button(QDialogButtonBox::Ok)->click();
    });
    RC_ASSERT(loaded);
    if (!shown)
        return; // every name matched: nothing to choose, and no table
    const auto& dataSet = loadedDataSet();
    std::vector<const qelmar::standin::DataValues*> zones{&dataSet.contents};
    for (const auto& zone : dataSet.laterZones)
        zones.push_back(&zone);
    RC_ASSERT(zones.size() == files.size());
    for (std::size_t file = 0; file < files.size(); ++file) {
        RC_ASSERT(zones[file]->values.size() == table[file].size());
        for (std::size_t variable = 0; variable < table[file].size(); ++variable) {
            const double value = zones[file]->values[variable].at(0);
            const std::string name = table[file][variable].toStdString();
            if (name.empty()) {
                RC_ASSERT(std::isnan(value));
                continue;
            }
            const auto column = std::find(files[file].begin(), files[file].end(), name) - files[file].begin();
            RC_ASSERT(value == valueOf(file, static_cast<std::size_t>(column)));
        }
    }
}

} // namespace
