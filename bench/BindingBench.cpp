#include "bench/BenchRatios.h"

#include "bindings/TextFieldPropertyBinding.h"
#include "propertyframework/Property.h"

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

// Kept out of line and off the stack of the measured loop, which it would otherwise slow down.
[[gnu::noinline]] std::shared_ptr<long long> countTextChanges(QLineEdit& field) {
    auto count = std::make_shared<long long>(0);
    QObject::connect(&field, &QLineEdit::textChanged, [count] { ++*count; });
    return count;
}

[[gnu::noinline]] void reportUpdatesPerBurst(benchmark::State& state, long long updates) {
    state.counters[updatesPerBurst] = static_cast<double>(updates) / static_cast<double>(state.iterations());
}

// One burst of property changes followed by the idle moment at which a deferred binding
// writes into its field. A deferred binding should pay for one text update per burst; an
// immediate one pays for every change. The field's text changes are counted to show it.
void runBursts(benchmark::State& state, BindingInterface::WidgetUpdateMode_e mode) {
    QWidget form;
    auto* field = new QLineEdit(&form);
    auto property = std::make_shared<Property<int>>(0);
    TextFieldPropertyBinding<int> binding(field, property, mode);
    const auto updates = countTextChanges(*field);
    int value = 0;
    for (auto _ : state) {
        for (int change = 0; change < changesPerBurst; ++change)
            property->setValue(++value);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(field->text().size());
    }
    state.SetItemsProcessed(state.iterations() * changesPerBurst);
    reportUpdatesPerBurst(state, *updates);
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
