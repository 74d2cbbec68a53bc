#include "propertyframework/qt/QListModel.h"
#include "host/StringListWithHeadersModel.h"
#include "propertyframework/models/ListModelProxy.h"
#include "propertyframework/models/PremappedListModel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace qelmar::sdk::ui::dialogs::propertybindings::models;

namespace {

const ModelValueInfo<long> depths[] = {{"1 bit", 1}, {"4 bits", 4}, {"8 bits", 8}};

// Qt's model checker reports through warnings of its own category; each one fails the test.
class ModelTesterFailures {
public:
    ModelTesterFailures() { s_previous = qInstallMessageHandler(&handle); }
    ~ModelTesterFailures() { qInstallMessageHandler(s_previous); }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (context.category && QByteArray(context.category) == "qt.modeltest")
            ADD_FAILURE() << message.toStdString();
        else
            s_previous(type, context, message);
    }
    static inline QtMessageHandler s_previous = nullptr;
};

// A model shown in a real, visible list view, with Qt's own checker watching the adaptor.
template <typename T> struct ShownModel {
    explicit ShownModel(const ListModelInterface<T>& model)
        : adaptor(model)
        , tester(&adaptor, QAbstractItemModelTester::FailureReportingMode::Warning) {
        view.setModel(&adaptor);
        view.resize(200, 300);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QString shownText(int row) const { return view.model()->index(row, 0).data().toString(); }
    bool rowHasVisualRect(int row) const { return !view.visualRect(view.model()->index(row, 0)).isEmpty(); }

    ModelTesterFailures failures;
    QListModel<T> adaptor;
    QAbstractItemModelTester tester;
    QListView view;
};

} // namespace

TEST(QListModelTest, InsertsAndRemovalsReachTheView) {
    StringListModel model({"a", "b"});
    ShownModel<int> shown(model);
    QSignalSpy inserted(&shown.adaptor, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&shown.adaptor, &QAbstractItemModel::rowsRemoved);

    model.append(std::vector<std::string>{"c", "d"});
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 2);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 3);
    EXPECT_EQ(shown.view.model()->rowCount(), 4);
    EXPECT_EQ(shown.shownText(3), "d");
    EXPECT_TRUE(shown.rowHasVisualRect(3));

    shown.view.setCurrentIndex(shown.adaptor.index(3));
    model.erase(std::set<int>{0, 1});
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(shown.view.model()->rowCount(), 2);
    EXPECT_EQ(shown.shownText(0), "c");
    EXPECT_EQ(shown.view.currentIndex().row(), 1);

    model.clear();
    EXPECT_EQ(shown.view.model()->rowCount(), 0);
}

TEST(QListModelTest, TextChangesAndProxySwapsAreShown) {
    auto inner = std::make_shared<StringListModel>(std::vector<std::string>{"old"});
    const ListModelProxy<int> proxy(inner);
    ShownModel<int> shown(proxy);
    QSignalSpy changed(&shown.adaptor, &QAbstractItemModel::dataChanged);

    inner->setText(0, "new");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(shown.shownText(0), "new");

    proxy.setModel(std::make_shared<StringListModel>(std::vector<std::string>{"x", "y", "z"}));
    EXPECT_EQ(shown.view.model()->rowCount(), 3);
    EXPECT_EQ(shown.shownText(2), "z");
    EXPECT_TRUE(shown.rowHasVisualRect(2));
}

TEST(QListModelTest, HeaderRowsAreNeitherEnabledNorEditable) {
    StringListWithHeadersModel model({"x", "y"});
    model.setEditable(true);
    model.insertHeader(0, "File 1");
    ShownModel<int> shown(model);

    const QModelIndex header = shown.adaptor.index(0);
    const QModelIndex entry = shown.adaptor.index(1);
    EXPECT_FALSE(shown.adaptor.flags(header).testFlag(Qt::ItemIsEnabled));
    EXPECT_FALSE(shown.adaptor.flags(header).testFlag(Qt::ItemIsEditable));
    EXPECT_TRUE(shown.adaptor.flags(entry).testFlag(Qt::ItemIsEnabled));
    EXPECT_TRUE(shown.adaptor.flags(entry).testFlag(Qt::ItemIsEditable));

    // A click on a heading selects nothing.
    QTest::mouseClick(shown.view.viewport(), Qt::LeftButton, {}, shown.view.visualRect(header).center());
    EXPECT_FALSE(shown.view.selectionModel()->isSelected(header));
    QTest::mouseClick(shown.view.viewport(), Qt::LeftButton, {}, shown.view.visualRect(entry).center());
    EXPECT_TRUE(shown.view.selectionModel()->isSelected(entry));

    EXPECT_TRUE(shown.adaptor.setData(entry, QString("renamed")));
    EXPECT_EQ(shown.shownText(1), "renamed");
    EXPECT_FALSE(shown.adaptor.setData(header, QString("renamed")));
}

TEST(QListModelTest, ReadOnlyModelRefusesEditsAndOffersRawValues) {
    const PremappedListModel<long> model(depths);
    ShownModel<long> shown(model);
    const QModelIndex row = shown.adaptor.index(2);

    EXPECT_FALSE(shown.adaptor.flags(row).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(shown.adaptor.setData(row, QString("16 bits")));
    EXPECT_EQ(shown.shownText(2), "8 bits");
    EXPECT_EQ(row.data(Qt::ToolTipRole).toString(), "8 bits");
    EXPECT_EQ(row.data(Qt::EditRole).toString(), "8 bits");
    EXPECT_EQ(QListModel<long>::rawValue(row), 8);
    EXPECT_EQ(row.data(0x710).toInt(), 8);
    EXPECT_FALSE(row.data(Qt::DecorationRole).isValid());
}

TEST(QListModelTest, AdaptorDestroyedBeforeTheModelStopsListening) {
    StringListModel model({"a"});
    { QListModel<int> adaptor(model); }
    model.append("b");
    model.clear();
    EXPECT_EQ(model.size(), 0);
}

// The adaptor reads plain string list models' texts in place; a derived model that shows other
// texts than it stores must still be shown with its own, in every role that shows the text.
TEST(QListModelTest, DerivedModelsShowTheirOwnTextsNotTheStoredOnes) {
    class Decorated : public StringListModel {
    public:
        using StringListModel::StringListModel;
        std::string getStr(int row) const override { return "<b>" + StringListModel::getStr(row) + "</b>"; }
    };
    Decorated decorated(std::vector<std::string>{"pressure", "a name longer than a short string"});
    StringListWithHeadersModel plain({"pressure", "a name longer than a short string"});
    plain.setHeader(0, true);
    ShownModel<int> shownDecorated(decorated);
    ShownModel<int> shownPlain(plain);

    EXPECT_EQ(shownDecorated.shownText(1), QStringLiteral("<b>a name longer than a short string</b>"));
    EXPECT_EQ(shownDecorated.view.model()->index(0, 0).data(Qt::ToolTipRole).toString(),
              QStringLiteral("<b>pressure</b>"));
    EXPECT_EQ(shownPlain.shownText(0), QStringLiteral("pressure"));
    EXPECT_EQ(shownPlain.shownText(1), QStringLiteral("a name longer than a short string"));

    // Edits reach the in-place reads at once.
    plain.setText(1, "Température");
    EXPECT_EQ(shownPlain.shownText(1), QStringLiteral("Température"));
    decorated.setText(0, "T");
    EXPECT_EQ(shownDecorated.shownText(0), QStringLiteral("<b>T</b>"));
}
