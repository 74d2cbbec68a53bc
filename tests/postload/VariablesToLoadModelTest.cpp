#include "postload/HtmlItemDelegate.h"
#include "postload/VariablesInformationRepository.h"
#include "postload/VariablesToLoadStringListModel.h"

#include "host/StringList.h"
#include "kernel/testing/KernelTestControl.h"

#include <QListView>
#include <QStandardItemModel>

#include <gtest/gtest.h>

using qelmar::sdk::ui::postload::HtmlItemDelegate;
using qelmar::sdk::ui::postload::VariablesInformationRepository;
using qelmar::sdk::ui::postload::VariablesToLoadStringListModel;
using qelmar::standin::testing::KernelTestControl;
using qelmar::toolbox::StringList;

namespace {

const std::string combinedStyle = ".combined{color:'green';} .not-combined{color:'green';}";

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

// "A" and "a" of one data set are two variables; a name the repository knows one way only is
// found in any case.
TEST_F(VariablesToLoadModelTest, StatusesIgnoreCaseOnlyForNamesKnownOneWayAndIncomingNamesWin) {
    StringList existing{"A", "B\nb2", "a"}, incoming{"a", "C"};
    information.init(existing.getRef(), {incoming.getRef()});
    information.setNew("MiXed");

    EXPECT_EQ(information.getVariableStatus("A"), VariablesInformationRepository::NotCombined);
    EXPECT_EQ(information.getVariableStatus("a"), VariablesInformationRepository::AutoCombined);
    EXPECT_EQ(information.getVariableStatus("B2"), VariablesInformationRepository::NotCombined);
    EXPECT_EQ(information.getVariableStatus("C"), VariablesInformationRepository::NoStatus);
    EXPECT_EQ(information.getVariableStatus("mixed"), VariablesInformationRepository::New);
    EXPECT_FALSE(information.isRemovable("a"));
    EXPECT_TRUE(information.isRemovable("MIXED"));
}

TEST_F(VariablesToLoadModelTest, NumbersFollowTheDataSetAndCloseUpAfterErase) {
    StringList existing{"A", "B", "C", "A"}, toLoad{"A", "B", "C"};
    information.init(existing.getRef(), {});
    model.setExistingDatasetVarNames(existing.getRef());
    model.setValues(toLoad.getRef());
    model.append(std::vector<std::string>{"D", "E"});
    // New variables follow every entry of the data set, the duplicate A included.
    EXPECT_EQ(numbers(), (std::vector<int>{1, 2, 3, 5, 6}));

    model.erase(1);
    EXPECT_EQ(numbers(), (std::vector<int>{1, 3, 5, 6}));
    model.erase(std::set<int>{2});
    EXPECT_EQ(numbers(), (std::vector<int>{1, 3, 5}));
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
    StringList existing{"X", "N"}, incoming{"X"};
    information.init(existing.getRef(), {incoming.getRef()});
    information.setCombined("Xc");
    model.setExistingDatasetVarNames(existing.getRef());
    StringList toLoad{"X\nXc", "N", "a<b>'c\"&"};
    model.setValues(toLoad.getRef());

    EXPECT_EQ(model.getStr(0),
              "<style>.auto-combined{color:'blue';}" + combinedStyle +
                  "</style>  1: <span class='auto-combined'>X</span>;<span class='combined'>Xc</span>");
    EXPECT_EQ(model.getStr(1),
              "<style>.not-combined{color:'black';}</style>  2: <span class='not-combined'>N</span>");
    EXPECT_EQ(model.getStr(2), "<style></style>  3: <span class=''>a&lt;b&gt;&apos;c&quot;&amp;</span>");
    EXPECT_EQ(model.getRawStr(0), "X\nXc");
    // An added combined name turns the not-combined one green as well.
    model.setText(1, "N\nXc");
    EXPECT_EQ(model.getStr(1).find("<style>" + combinedStyle + "</style>"), 0u);
}

int pixelsNear(const QImage& image, const QRect& rect, QColor colour) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += std::abs(pixel.red() - colour.red()) < 40 &&
                     std::abs(pixel.green() - colour.green()) < 40 &&
                     std::abs(pixel.blue() - colour.blue()) < 40;
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
    view.setFont(QFont(view.font().family(), 18, QFont::Bold));
    view.resize(400, 200);
    view.selectionModel()->select(items.index(1, 0), QItemSelectionModel::Select);
    view.show();

    const QImage image = view.viewport()->grab().toImage();
    const QRect plainRow = view.visualRect(items.index(0, 0));
    const QRect selectedRow = view.visualRect(items.index(1, 0));
    const QColor orange(255, 165, 0);
    EXPECT_GT(pixelsNear(image, plainRow, Qt::blue), 20);
    EXPECT_EQ(pixelsNear(image, plainRow, orange), 0);
    EXPECT_GT(pixelsNear(image, selectedRow, orange), 20);
    EXPECT_EQ(pixelsNear(image, selectedRow, Qt::blue), 0);
    EXPECT_GE(plainRow.width(), 100);
}

} // namespace
