#include "bench/BenchRatios.h"
#include "postload/HtmlItemDelegate.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QListView>
#include <QPainter>
#include <QStringListModel>
#include <QStyledItemDelegate>

#include <cstdio>

// Painting a 10,000-row "Variables to load" list with the HTML delegate against the same rows as
// plain text with Qt's own delegate. The list is walked page by page as a user scrolls through
// it, each page painted once: a repaint of rows already shown would be served by the delegate's
// document cache and make the delegate look cheaper than a first showing is.

namespace {

using qelmar::sdk::ui::postload::HtmlItemDelegate;

constexpr int rowCount = 10000;
constexpr int rowsPerPage = 25;

QString numberPrefix(int row) {
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%3d: ", row + 1);
    return QString::fromLatin1(prefix);
}

QString plainText(int row) {
    return QStringLiteral("%1X%2;x_coord%2").arg(numberPrefix(row)).arg(row);
}

// The shape of a to-load row: style block, number, one span per name.
QString decoratedText(int row) {
    return QStringLiteral("<style>.auto-combined{color:'blue';}.combined{color:'green';} "
                          ".not-combined{color:'green';}</style>%1<span class='auto-combined'>X%2</span>;"
                          "<span class='combined'>x_coord%2</span>")
        .arg(numberPrefix(row))
        .arg(row);
}

QStringList makeRows(QString (*text)(int)) {
    QStringList rows;
    rows.reserve(rowCount);
    for (int row = 0; row < rowCount; ++row)
        rows.append(text(row));
    return rows;
}

void paintAllRows(benchmark::State& state, QAbstractItemDelegate& delegate, const QStringList& rows) {
    QStringListModel model(rows);
    QListView view;
    view.setModel(&model);
    view.selectionModel()->select(model.index(3, 0), QItemSelectionModel::Select);
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.widget = &view;
    const int rowHeight = delegate.sizeHint(option, model.index(0, 0)).height();
    QImage page(400, rowHeight * rowsPerPage, QImage::Format_ARGB32_Premultiplied);

    for (auto _ : state) {
        QPainter painter(&page);
        for (int first = 0; first < rowCount; first += rowsPerPage) {
            for (int row = first; row < first + rowsPerPage && row < rowCount; ++row) {
                const QModelIndex index = model.index(row, 0);
                option.rect = QRect(0, (row - first) * rowHeight, page.width(), rowHeight);
                option.state = QStyle::State_Enabled;
                if (view.selectionModel()->isSelected(index))
                    option.state |= QStyle::State_Selected;
                delegate.paint(&painter, option, index);
            }
        }
    }
    state.counters["rows"] = rowCount;
}

void BM_HtmlItemDelegatePaint(benchmark::State& state) {
    HtmlItemDelegate delegate(nullptr);
    paintAllRows(state, delegate, makeRows(decoratedText));
}
BENCHMARK(BM_HtmlItemDelegatePaint)->Unit(benchmark::kMillisecond);

void BM_QStyledItemDelegatePaint(benchmark::State& state) {
    QStyledItemDelegate delegate;
    paintAllRows(state, delegate, makeRows(plainText));
}
BENCHMARK(BM_QStyledItemDelegatePaint)->Unit(benchmark::kMillisecond);

const qelmar::bench::RatioRegistration htmlPaint{"painting 10,000 HTML rows vs plain rows",
                                                 "BM_HtmlItemDelegatePaint", "BM_QStyledItemDelegatePaint"};

} // namespace
