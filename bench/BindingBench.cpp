#include "bench/BenchRatios.h"

#include "propertyframework/Property.h"
#include "propertyframework/bindings/TextFieldPropertyBinding.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QLineEdit>

#include <memory>

namespace {

using qelmar::Property;
using qelmar::sdk::ui::dialogs::BindingInterface;
using qelmar::sdk::ui::dialogs::propertybindings::TextFieldPropertyBinding;

constexpr int changesPerBurst = 10000;

const char* const updatesPerBurst = "widget updates per burst";

// One burst of property changes followed by the idle moment at which a deferred binding
// writes into its field. A deferred binding should pay for one text update per burst; an
// immediate one pays for every change. The field's text changes are counted to show it.
void runBursts(benchmark::State& state, BindingInterface::WidgetUpdateMode_e mode) {
    QWidget form;
    auto* field = new QLineEdit(&form);
    long long updates = 0;
    QObject::connect(field, &QLineEdit::textChanged, [&updates] { ++updates; });
    auto property = std::make_shared<Property<int>>(0);
    TextFieldPropertyBinding<int> binding(field, property, mode);
    updates = 0;
    int value = 0;
    for (auto _ : state) {
        for (int change = 0; change < changesPerBurst; ++change)
            property->setValue(++value);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(field->text().size());
    }
    state.SetItemsProcessed(state.iterations() * changesPerBurst);
    state.counters[updatesPerBurst] = static_cast<double>(updates) / static_cast<double>(state.iterations());
}

void BM_DeferredTextFieldBurst(benchmark::State& state) {
    runBursts(state, BindingInterface::WidgetUpdate_OnIdle);
}
BENCHMARK(BM_DeferredTextFieldBurst)->Unit(benchmark::kMicrosecond);

void BM_ImmediateTextFieldBurst(benchmark::State& state) {
    runBursts(state, BindingInterface::WidgetUpdate_Immediate);
}
BENCHMARK(BM_ImmediateTextFieldBurst)->Unit(benchmark::kMicrosecond);

const qelmar::bench::RatioRegistration deferredAgainstImmediate{
    "10000 property changes, deferred binding over immediate binding",
    "BM_DeferredTextFieldBurst",
    "BM_ImmediateTextFieldBurst",
    {updatesPerBurst}};

} // namespace
