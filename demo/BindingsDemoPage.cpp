#include "BindingsDemoPage.h"

#include "bindings/ComboBoxPropertyBinding.h"
#include "bindings/ListViewPropertySynchronizer.h"
#include "bindings/RadioButtonPropertyBinding.h"
#include "bindings/TextFieldPropertyBinding.h"
#include "host/BooleanPropertyDependentRelevance.h"
#include "host/CheckButtonPropertyBinding.h"
#include "host/EnterKeySwallowingLineEdit.h"
#include "host/IntegralSpinBox.h"
#include "host/LabelPropertyBinding.h"
#include "host/RelevanceApplier.h"
#include "host/SliderIntPropertyBinding.h"
#include "host/SpinBoxIntPropertyBinding.h"
#include "host/StringListModel.h"
#include "propertyframework/BoundedValueValidator.h"
#include "propertyframework/Property.h"
#include "propertyframework/PropertyDependentRelevance.h"
#include "propertyframework/models/PremappedListModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QRadioButton>
#include <QSlider>

#include <set>
#include <sstream>
#include <vector>

namespace qelmar::demo {

namespace {

using namespace sdk::ui::dialogs;
using namespace sdk::ui::dialogs::propertybindings;
using namespace sdk::ui::dialogs::propertybindings::models;
using sdk::ui::propertymanager::BooleanPropertyDependentRelevance;
using sdk::ui::propertymanager::PropertyDependentRelevance;
using sdk::ui::propertymanager::SliderProperties;

enum DemoFormat_e { DemoFormat_Png = 0, DemoFormat_Jpeg = 1, DemoFormat_Eps = 2 };
enum DemoRender_e { DemoRender_Vector = 0, DemoRender_Image = 1 };

const ModelValueInfo<DemoFormat_e> formatTable[] = {
    {"PNG", DemoFormat_Png}, {"JPEG", DemoFormat_Jpeg}, {"EPS", DemoFormat_Eps}};

QString text(const char* source) {
    return QCoreApplication::translate("BindingsDemoPage", source);
}

} // namespace

struct BindingsDemoPage::Impl {
    // Properties first and appliers last, so that everything goes in reverse order of dependence.
    PropertyPtr<std::string> title = std::make_shared<Property<std::string>>("Pressure over time");
    PropertyPtr<int> width =
        std::make_shared<Property<int>>(800, std::make_shared<BoundedValueValidator<int>>(1, 10000));
    PropertyPtr<double> speed =
        std::make_shared<Property<double>>(10.0, std::make_shared<BoundedValueValidator<double>>(0.1, 100.0));
    PropertyPtr<bool> antialiasing = std::make_shared<Property<bool>>(true);
    PropertyPtr<int> factor =
        std::make_shared<Property<int>>(3, std::make_shared<BoundedValueValidator<int>>(2, 16));
    PropertyPtr<DemoFormat_e> format = std::make_shared<Property<DemoFormat_e>>(DemoFormat_Eps);
    PropertyPtr<DemoRender_e> render = std::make_shared<Property<DemoRender_e>>(DemoRender_Vector);
    PropertyPtr<int> precision =
        std::make_shared<Property<int>>(4, std::make_shared<BoundedValueValidator<int>>(0, 8));
    PropertyPtr<long> quality = std::make_shared<Property<long>>(75);
    std::shared_ptr<Property<SliderProperties<long>>> qualityRange =
        std::make_shared<Property<SliderProperties<long>>>(SliderProperties<long>(1, 100, 1));
    std::shared_ptr<Property<std::string>> summary = std::make_shared<Property<std::string>>();
    std::shared_ptr<StringListModel> variables = std::make_shared<StringListModel>(
        std::vector<std::string>{"X", "Y", "Pressure", "Temperature", "Density"});
    PropertyPtr<std::set<int>> selectedVariables =
        std::make_shared<Property<std::set<int>>>(std::set<int>{2});
    sdk::SignalConnectionCollection listeners;

    std::vector<std::unique_ptr<BindingInterface>> bindings;
    std::vector<std::unique_ptr<RelevanceApplier>> appliers;

    void updateSummary() {
        std::ostringstream stream;
        stream << formatTable[format->retrieveValue()].label << ", " << width->retrieveValue()
               << " px, quality " << quality->retrieveValue() << ", "
               << selectedVariables->retrieveValue().size() << " variable(s) selected";
        summary->setValue(stream.str());
    }

    void listen() {
        const auto update = [this] { updateSummary(); };
        listeners.add(format->connectToPropertyChangedSignal(update));
        listeners.add(width->connectToPropertyChangedSignal(update));
        listeners.add(quality->connectToPropertyChangedSignal(update));
        listeners.add(selectedVariables->connectToPropertyChangedSignal(update));
        updateSummary();
    }
};

BindingsDemoPage::BindingsDemoPage(QWidget* parent)
    : QWidget(parent)
    , m_impl(std::make_unique<Impl>()) {
    setObjectName("bindingsDemoPage");
    auto& d = *m_impl;
    d.listen();
    const auto deferred = BindingInterface::WidgetUpdate_OnIdle;

    auto* form = new QFormLayout(this);
    auto* title = new sdk::ui::EnterKeySwallowingLineEdit(this);
    form->addRow(text("&Title:"), title);
    d.bindings.push_back(std::make_unique<TextFieldPropertyBinding<std::string>>(
        title, d.title, deferred, TextFieldPropertyBinding<std::string>::CursorPosition_Start));

    auto* width = new sdk::ui::EnterKeySwallowingLineEdit(this);
    form->addRow(text("&Width (1-10000):"), width);
    d.bindings.push_back(std::make_unique<TextFieldPropertyBinding<int>>(width, d.width, deferred));

    auto* speed = new sdk::ui::EnterKeySwallowingLineEdit(this);
    form->addRow(text("Animation &speed (frames/sec):"), speed);
    d.bindings.push_back(std::make_unique<TextFieldPropertyBinding<double>>(speed, d.speed, deferred));

    auto* antialiasing = new QCheckBox(text("&Antialiasing"), this);
    form->addRow(QString(), antialiasing);
    d.bindings.push_back(std::make_unique<CheckButtonPropertyBinding>(antialiasing, d.antialiasing));

    auto* factorLabel = new QLabel(text("Supersample &factor (2-16):"), this);
    auto* factor = new sdk::ui::EnterKeySwallowingLineEdit(this);
    factorLabel->setBuddy(factor);
    form->addRow(factorLabel, factor);
    d.bindings.push_back(std::make_unique<TextFieldPropertyBinding<int>>(factor, d.factor, deferred));

    auto* format = new QComboBox(this);
    form->addRow(text("Export f&ormat:"), format);
    d.bindings.push_back(std::make_unique<ComboBoxPropertyBinding<DemoFormat_e>>(
        *format, d.format, std::make_shared<PremappedListModel<DemoFormat_e>>(formatTable),
        BindingInterface::ModelUpdate_DeferredWhileBusy));

    auto* renderRow = new QWidget(this);
    auto* renderLayout = new QHBoxLayout(renderRow);
    renderLayout->setContentsMargins(0, 0, 0, 0);
    auto* vector = new QRadioButton(text("&Vector"), renderRow);
    auto* image = new QRadioButton(text("&Image"), renderRow);
    renderLayout->addWidget(vector);
    renderLayout->addWidget(image);
    auto* renderLabel = new QLabel(text("Render type:"), this);
    form->addRow(renderLabel, renderRow);
    d.bindings.push_back(
        std::make_unique<RadioButtonPropertyBinding<DemoRender_e>>(vector, d.render, DemoRender_Vector));
    d.bindings.push_back(
        std::make_unique<RadioButtonPropertyBinding<DemoRender_e>>(image, d.render, DemoRender_Image));

    auto* precisionLabel = new QLabel(text("E&xtra precision:"), this);
    auto* precision = new sdk::ui::IntegralSpinBox(this);
    precision->setRange(0, 8);
    precisionLabel->setBuddy(precision);
    form->addRow(precisionLabel, precision);
    d.bindings.push_back(std::make_unique<SpinBoxIntPropertyBinding>(precision, d.precision));

    auto* quality = new QSlider(Qt::Horizontal, this);
    auto* qualityLabel = new QLabel(text("&Quality (1-100):"), this);
    qualityLabel->setBuddy(quality);
    form->addRow(qualityLabel, quality);
    d.bindings.push_back(
        std::make_unique<SliderIntPropertyBinding>(quality, d.quality, d.qualityRange, deferred));

    auto* variables = new QListView(this);
    variables->setSelectionMode(QAbstractItemView::ExtendedSelection);
    form->addRow(text("&Variables:"), variables);
    d.bindings.push_back(ListViewPropertySynchronizer<std::set<int>>::bind(*variables, d.selectedVariables,
                                                                           d.variables, deferred));

    auto* summary = new QLabel(this);
    form->addRow(text("Summary:"), summary);
    d.bindings.push_back(std::make_unique<LabelPropertyBinding>(summary, d.summary, deferred));

    // The supersample factor applies only with antialiasing, the render type only to EPS and the
    // precision only to vector output.
    auto antialiasingRelevance = std::make_shared<BooleanPropertyDependentRelevance>(d.antialiasing);
    d.appliers.push_back(std::make_unique<RelevanceApplier>(
        antialiasingRelevance, factorLabel, factor, RelevanceApplier::Manifestation_Enable, deferred));
    auto epsRelevance = std::make_shared<PropertyDependentRelevance<DemoFormat_e>>(d.format, DemoFormat_Eps);
    d.appliers.push_back(std::make_unique<RelevanceApplier>(epsRelevance, renderLabel, renderRow,
                                                            RelevanceApplier::Manifestation_Show, deferred));
    auto vectorRelevance =
        std::make_shared<PropertyDependentRelevance<DemoRender_e>>(d.render, DemoRender_Vector);
    d.appliers.push_back(std::make_unique<RelevanceApplier>(
        vectorRelevance, precisionLabel, precision, RelevanceApplier::Manifestation_Enable, deferred));
}

BindingsDemoPage::~BindingsDemoPage() {
    m_impl->appliers.clear();
    m_impl->bindings.clear();
}

} // namespace qelmar::demo
