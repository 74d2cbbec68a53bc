#include "postload/HtmlItemDelegate.h"
#include "postload/VariablesInformationRepository.h"
#include "postload/VariablesToLoadStringListModel.h"

#include "host/StringList.h"
#include "kernel/testing/KernelTestControl.h"

#include <QImage>
#include <QListView>
#include <QStandardItemModel>

#include <gtest/gtest.h>

using qelmar::sdk::ui::postload::HtmlItemDelegate;
using qelmar::sdk::ui::postload::VariablesInformationRepository;
using qelmar::sdk::ui::postload::VariablesToLoadStringListModel;
using qelmar::standin::testing::KernelTestControl;
using qelmar::toolbox::StringList;

namespace {

const char autoCombinedStyle[] = ".auto-combined{color:'blue';}";
const char combinedStyle[] = ".combined{color:'green';} .not-combined{color:'green';}";
const char notCombinedStyle[] = ".not-combined{color:'black';}";

class VariablesToLoadModelTest : public ::testing::Test {
protected:
    // The numbers the list shows, read from the decorated rows.
    std::vector<int> numbers() const {
        std::vector<int> shown;
        for (int row = 0; row < model.size(); ++row) {
            const std::string html = model.getStr(row);
            shown.push_back(std::stoi(html.substr(html.find("</style>") + 8)));
        }
        return shown;
    }

    KernelTestControl kernel;
    VariablesInformationRepository information;
    VariablesToLoadStringListModel model{information};
};

TEST_F(VariablesToLoadModelTest, StatusesIgnoreCaseAndIncomingNamesWin) {
    StringList existing{"A", "B\nb2", "a"};
    StringList incoming{"a", "C"};
    information.init(existing.getRef(), {incoming.getRef()});
    information.setNew("MiXed");

    EXPECT_EQ(information.getVariableStatus("A"), VariablesInformationRepository::AutoCombined);
    EXPECT_EQ(information.getVariableStatus("B2"), VariablesInformationRepository::NotCombined);
    EXPECT_EQ(information.getVariableStatus("C"), VariablesInformationRepository::NoStatus);
    EXPECT_EQ(information.getVariableStatus("MIXED"), VariablesInformationRepository::New);
    EXPECT_EQ(information.getVariableStatus("mixed"), VariablesInformationRepository::New);
    EXPECT_FALSE(information.isRemovable("a"));
    EXPECT_TRUE(information.isRemovable("mixed"));
    EXPECT_TRUE(information.isRemovable("C"));
}

TEST_F(VariablesToLoadModelTest, NumbersFollowTheDataSetAndCloseUpAfterErase) {
    StringList existing{"A", "B", "C"};
    information.init(existing.getRef(), {});
    information.setNew("D");
    information.setNew("E");
    model.setExistingDatasetVarNames(existing.getRef());
    model.setValues(existing.getRef());
    model.append(std::vector<std::string>{"D", "E"});
    EXPECT_EQ(numbers(), (std::vector<int>{1, 2, 3, 4, 5}));

    model.erase(1);
    EXPECT_EQ(numbers(), (std::vector<int>{1, 3, 4, 5}));
    model.erase(std::set<int>{0, 2});
    EXPECT_EQ(numbers(), (std::vector<int>{3, 4}));
}

TEST_F(VariablesToLoadModelTest, NewVariablesFollowEveryExistingEntryIncludingDuplicates) {
    StringList existing{"A", "B", "A"};
    information.init(existing.getRef(), {});
    information.setNew("U");
    model.setExistingDatasetVarNames(existing.getRef());
    StringList toLoad{"A", "B"};
    model.setValues(toLoad.getRef());
    model.append("U");
    EXPECT_EQ(numbers(), (std::vector<int>{1, 2, 4}));
}

TEST_F(VariablesToLoadModelTest, NullEntriesComeBackInPlace) {
    StringList values{"A", nullptr, "B", nullptr, "C"};
    model.setValues(values.getRef());
    EXPECT_EQ(model.size(), 3);
    StringList back(model.getStringList());
    ASSERT_EQ(back.size(), 5);
    EXPECT_EQ(back[1], nullptr);
    EXPECT_EQ(back[3], nullptr);
    EXPECT_EQ(back.get(4), "C");
}

TEST_F(VariablesToLoadModelTest, DecoratesEachNameByItsStatus) {
    StringList existing{"X", "N"};
    StringList incoming{"X"};
    information.init(existing.getRef(), {incoming.getRef()});
    information.setCombined("Xc");
    model.setExistingDatasetVarNames(existing.getRef());
    StringList toLoad{"X\nXc", "N", "a<b>'c\"&"};
    model.setValues(toLoad.getRef());

    EXPECT_EQ(model.getStr(0), std::string("<style>") + autoCombinedStyle + combinedStyle +
                                   "</style>  1: <span class='auto-combined'>X</span>;"
                                   "<span class='combined'>Xc</span>");
    EXPECT_EQ(model.getStr(1),
              std::string("<style>") + notCombinedStyle + "</style>  2: <span class='not-combined'>N</span>");
    EXPECT_EQ(model.getStr(2), "<style></style>  3: <span class=''>a&lt;b&gt;&apos;c&quot;&amp;</span>");
    EXPECT_EQ(model.getRawStr(0), "X\nXc");

    // An added combined name turns the not-combined one green as well.
    model.setText(1, "N\nXc");
    EXPECT_EQ(model.getStr(1).find(notCombinedStyle), std::string::npos);
    EXPECT_NE(model.getStr(1).find(combinedStyle), std::string::npos);
}

// Counts the pixels of a row that are close to a colour.
int pixelsNear(const QImage& image, const QRect& row, QColor colour) {
    int count = 0;
    for (int y = row.top(); y <= row.bottom(); ++y) {
        for (int x = row.left(); x <= row.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) < 40 && std::abs(pixel.green() - colour.green()) < 40 &&
                std::abs(pixel.blue() - colour.blue()) < 40)
                ++count;
        }
    }
    return count;
}

TEST_F(VariablesToLoadModelTest, SelectedRowsSwapColoursForTheHighlight) {
    const QString html = QStringLiteral("<style>.auto-combined{color:'blue';}</style>  1: "
                                        "<span class='auto-combined'>WWWWWWWW</span>");
    QStandardItemModel items;
    items.appendRow(new QStandardItem(html));
    items.appendRow(new QStandardItem(html));
    QListView view;
    HtmlItemDelegate delegate(&view);
    view.setItemDelegate(&delegate);
    view.setModel(&items);
    QFont font = view.font();
    font.setPixelSize(24);
    font.setBold(true);
    view.setFont(font);
    view.resize(400, 200);
    view.selectionModel()->select(items.index(1, 0), QItemSelectionModel::Select);
    view.show();

    const QImage image = view.viewport()->grab().toImage();
    const QRect plainRow = view.visualRect(items.index(0, 0));
    const QRect selectedRow = view.visualRect(items.index(1, 0));
    EXPECT_GT(pixelsNear(image, plainRow, Qt::blue), 20);
    EXPECT_EQ(pixelsNear(image, plainRow, QColor(255, 165, 0)), 0);
    EXPECT_GT(pixelsNear(image, selectedRow, QColor(255, 165, 0)), 20);
    EXPECT_EQ(pixelsNear(image, selectedRow, Qt::blue), 0);
    QStyleOptionViewItem option;
    option.widget = &view;
    EXPECT_GE(delegate.sizeHint(option, items.index(0, 0)).width(), 100);
}

} // namespace
