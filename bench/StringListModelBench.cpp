#include "bench/BenchRatios.h"
#include "host/StringListModel.h"
#include "propertyframework/qt/QListModel.h"

#include <benchmark/benchmark.h>

#include <QListView>
#include <QStringList>
#include <QStringListModel>

#include <string>
#include <vector>

// Filling a list view with 10,000 strings through our model and its Qt adaptor, then reading
// every row back through the view's model, against the same with Qt's own string list model.

namespace {

using qelmar::sdk::ui::dialogs::propertybindings::models::QListModel;
using qelmar::sdk::ui::dialogs::propertybindings::models::StringListModel;

constexpr int rowCount = 10000;

std::vector<std::string> makeStrings() {
    std::vector<std::string> strings;
    strings.reserve(rowCount);
    for (int i = 0; i < rowCount; ++i)
        strings.push_back("/data/run" + std::to_string(i) + ".plt");
    return strings;
}

qsizetype readAllRows(const QListView& view) {
    const QAbstractItemModel* model = view.model();
    qsizetype characters = 0;
    for (int row = 0; row < model->rowCount(); ++row)
        characters += model->data(model->index(row, 0)).toString().size();
    return characters;
}

void BM_StringListModelFillAndRead(benchmark::State& state) {
    const std::vector<std::string> strings = makeStrings();
    for (auto _ : state) {
        StringListModel model;
        QListModel<int> adaptor(model);
        QListView view;
        view.setModel(&adaptor);
        model.append(strings);
        benchmark::DoNotOptimize(readAllRows(view));
    }
}
BENCHMARK(BM_StringListModelFillAndRead)->Unit(benchmark::kMillisecond);

void BM_QStringListModelFillAndRead(benchmark::State& state) {
    const std::vector<std::string> strings = makeStrings();
    for (auto _ : state) {
        QStringListModel model;
        QListView view;
        view.setModel(&model);
        QStringList list;
        list.reserve(rowCount);
        for (const auto& text : strings)
            list.append(QString::fromStdString(text));
        model.setStringList(list);
        benchmark::DoNotOptimize(readAllRows(view));
    }
}
BENCHMARK(BM_QStringListModelFillAndRead)->Unit(benchmark::kMillisecond);

const qelmar::bench::RatioRegistration fillAndRead{"10,000-row string list model vs QStringListModel",
                                                   "BM_StringListModelFillAndRead",
                                                   "BM_QStringListModelFillAndRead"};

} // namespace
