#include "export/ExportPreviewPropertiesManager.h"

#include "export/ExportPropertiesGenerated.h"
#include "export/ExportPropertiesManager.h"
#include "host/AppLock.h"
#include "host/ExportFormats.h"
#include "host/ExportSettingsTable.h"
#include "host/Kernel.h"
#include "host/RelevanceExpression.h"
#include "propertyframework/InvalidPropertyValueException.h"
#include "propertyframework/Property.h"
#include "propertyframework/SignalConnectionCollection.h"
#include "propertyframework/models/PremappedListModel.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <type_traits>

namespace qelmar::sdk::ui::propertymanager {

using ::qelmar::dialogs::io::ExportPresetValue;
using sdk::AppLock;
using sdk::ui::dialogs::propertybindings::models::ModelValueInfo;
using sdk::ui::dialogs::propertybindings::models::PremappedListModel;

namespace exportsettings = sdk::exportsettings;

// clang-format off
#define QELMAR_EXPORT_PREVIEW_STYLE_PROPERTIES(X) \
    X(bool, usePhysicalSize, setUsePhysicalSize, usePhysicalSize) \
    X(bool, transparentBackground, setTransparentBackground, transparentBackground)
// clang-format on

namespace {

constexpr double centimetresPerInch = 2.54;
constexpr int smallestSide = static_cast<int>(exportsettings::imageWidth.minimum);
constexpr int largestSide = static_cast<int>(exportsettings::imageWidth.maximum);

// The panel's kernel settings, nested in the dialog's set: submitted whenever it is.
class PanelSettings : public UIKernelStylePropertiesAbstract {
public:
    explicit PanelSettings(UIKernelStylePropertiesAbstract* parent)
        : UIKernelStylePropertiesAbstract(parent->isModal(), parent) {}

    QELMAR_STYLE_PROPERTY_SET_OPERATIONS
    QELMAR_EXPORT_PREVIEW_STYLE_PROPERTIES(QELMAR_STYLE_PROPERTY_ACCESSORS)

private:
    toolbox::StringList m_basePath;
    styleproperties::KernelStylePropertyTable m_table;
    QELMAR_EXPORT_PREVIEW_STYLE_PROPERTIES(QELMAR_EXPORT_STYLE_PROPERTY_MEMBER)
};

std::string joinedPath(const ExportSetting& setting) {
    std::string path;
    for (const char* name : setting.path)
        path += (path.empty() ? "" : "/") + std::string(name);
    return path;
}

template <typename T> double asNumber(const T& value) {
    return static_cast<double>(value);
}

template <typename T> T fromNumber(double value) {
    if constexpr (std::is_same_v<T, bool>)
        return value != 0;
    else if constexpr (std::is_floating_point_v<T>)
        return static_cast<T>(value);
    else
        return static_cast<T>(std::llround(value));
}

// Calls visit(row, property) for every numeric setting, in the order the sets submit them.
template <class Visitor>
void forEachSetting(const ExportPropertiesGenerated& set, const PanelSettings& panel, Visitor&& visit) {
#define QELMAR_VISIT_SETTING(Type, Getter, Setter, Setting)                                                  \
    if constexpr (!std::is_same_v<Type, std::string>)                                                        \
        visit(exportsettings::Setting, set.Getter());
    QELMAR_EXPORT_STYLE_PROPERTIES(QELMAR_VISIT_SETTING)
#undef QELMAR_VISIT_SETTING
#define QELMAR_VISIT_PANEL_SETTING(Type, Getter, Setter, Setting)                                            \
    visit(exportsettings::Setting, panel.Getter());
    QELMAR_EXPORT_PREVIEW_STYLE_PROPERTIES(QELMAR_VISIT_PANEL_SETTING)
#undef QELMAR_VISIT_PANEL_SETTING
}

const ModelValueInfo<long> units[] = {
    {QT_TRANSLATE_NOOP("ExportPreviewPanel", "Pixels"), ExportPreviewPropertiesManager::Unit_Pixels},
    {QT_TRANSLATE_NOOP("ExportPreviewPanel", "Centimetres"),
     ExportPreviewPropertiesManager::Unit_Centimetres},
    {QT_TRANSLATE_NOOP("ExportPreviewPanel", "Inches"), ExportPreviewPropertiesManager::Unit_Inches},
};

std::vector<ModelValueInfo<long>> translatedUnits() {
    std::vector<ModelValueInfo<long>> translated;
    for (const auto& unit : units)
        translated.push_back(
            {QCoreApplication::translate("ExportPreviewPanel", unit.label.c_str()).toStdString(),
             unit.value});
    return translated;
}

// Pixels in the unit at the resolution.
double inUnit(double pixels, long unit, int dpi) {
    switch (unit) {
    case ExportPreviewPropertiesManager::Unit_Centimetres:
        return pixels / dpi * centimetresPerInch;
    case ExportPreviewPropertiesManager::Unit_Inches:
        return pixels / dpi;
    default:
        return pixels;
    }
}

double inPixels(double length, long unit, int dpi) {
    switch (unit) {
    case ExportPreviewPropertiesManager::Unit_Centimetres:
        return length / centimetresPerInch * dpi;
    case ExportPreviewPropertiesManager::Unit_Inches:
        return length * dpi;
    default:
        return length;
    }
}

// Two decimals at most, without trailing zeros: what a user types.
std::string lengthText(double length, long unit) {
    if (unit == ExportPreviewPropertiesManager::Unit_Pixels)
        return std::to_string(std::lround(length));
    return QString::number(std::round(length * 100.0) / 100.0, 'f', 2)
        .remove(QRegularExpression(QStringLiteral("\\.?0+$")))
        .toStdString();
}

std::string sideRangeMessage(long unit, int dpi) {
    std::string message = "The size must be within " + std::to_string(smallestSide) + " to " +
                          std::to_string(largestSide) + " pixels";
    if (unit != ExportPreviewPropertiesManager::Unit_Pixels) {
        const std::string symbol = ExportPreviewPropertiesManager::unitSymbol(
            static_cast<ExportPreviewPropertiesManager::Unit_e>(unit));
        message += " (" + lengthText(inUnit(smallestSide, unit, dpi), unit) + " to " +
                   lengthText(inUnit(largestSide, unit, dpi), unit) + " " + symbol + " at " +
                   std::to_string(dpi) + " dpi)";
    }
    return message + ".";
}

// Accepts what `check` accepts; the message comes from `check`.
template <typename T> class FunctionValidator : public ValidatorInterface<T> {
public:
    explicit FunctionValidator(std::function<std::string(const T&)> check)
        : m_check(std::move(check)) {}
    ValidationResult validate(const T& value) const override {
        ValidationResult result;
        if (std::string error = m_check(value); !error.empty())
            result.setErrorString(std::move(error));
        return result;
    }

private:
    std::function<std::string(const T&)> m_check;
};

// The dialog's resolution, changing the image width with it where the size in print is to stay.
class SizeKeepingResolution : public PropertyAbstract<int> {
public:
    SizeKeepingResolution(PropertyPtr<int> resolution, std::function<std::string(int)> check,
                          std::function<void(int)> store)
        : PropertyAbstract<int>(std::make_shared<FunctionValidator<int>>(std::move(check)))
        , m_resolution(std::move(resolution))
        , m_store(std::move(store)) {
        m_connections.add(m_resolution->connectToValueChangedSignalUnique(
            [this](const int& value) { emitValueChangedSignal(value); }));
    }
    int retrieveValue() const override { return m_resolution->retrieveValue(); }

protected:
    void storeValue(const int& value) override { m_store(value); }
    void validate(const int& value) const override {
        PropertyAbstract<int>::validate(value);
        const ValidationResult own = m_resolution->validator()->validate(value);
        if (!own.isValid())
            throw InvalidPropertyValueException(own.errorString());
    }

private:
    PropertyPtr<int> m_resolution;
    std::function<void(int)> m_store;
    SignalConnectionCollection m_connections;
};

RelevancePtr anyFormat(const ExportPropertiesManager& manager,
                       bool (*predicate)(const sdk::ExportFormatDescriptor&)) {
    std::shared_ptr<RelevanceExpression> any;
    for (const sdk::ExportFormatDescriptor& format : sdk::exportFormats()) {
        if (!predicate(format))
            continue;
        if (any)
            any->oor(manager.formatRelevance(format.value));
        else
            any = std::make_shared<RelevanceExpression>(manager.formatRelevance(format.value));
    }
    return any;
}

} // namespace

struct ExportPreviewPropertiesManager::Impl {
    ExportPropertiesGenerated& set;
    ExportPropertiesManager& exportManager;
    PanelSettings panel;
    PropertyPtr<long> unit = std::make_shared<Property<long>>(Unit_Pixels);
    std::vector<ModelValueInfo<long>> unitRows = translatedUnits();
    std::shared_ptr<PremappedListModel<long>> unitModel = std::make_shared<PremappedListModel<long>>(
        unitRows.data(), static_cast<std::int32_t>(unitRows.size()));
    PropertyPtr<std::string> widthText;
    PropertyPtr<std::string> heightText;
    PropertyPtr<int> resolution;
    RelevancePtr transparentRelevance;
    RelevancePtr physicalSizeRelevance;
    // The user's edits of the texts; blocked while the texts follow the settings.
    SignalConnectionCollection textConnections;
    SignalConnectionCollection followConnections;
    SignalConnectionCollection changeConnections;

    Impl(ExportPropertiesGenerated& set, ExportPropertiesManager& exportManager)
        : set(set)
        , exportManager(exportManager)
        , panel(&set) {
        widthText = std::make_shared<Property<std::string>>(
            std::string(), std::make_shared<FunctionValidator<std::string>>(
                               [this](const std::string& text) { return checkSide(text, false); }));
        heightText = std::make_shared<Property<std::string>>(
            std::string(), std::make_shared<FunctionValidator<std::string>>(
                               [this](const std::string& text) { return checkSide(text, true); }));
        resolution = std::make_shared<SizeKeepingResolution>(
            set.resolution(), [this](int dpi) { return checkResolution(dpi); },
            [this](int dpi) { storeResolution(dpi); });
        transparentRelevance = anyFormat(exportManager, [](const sdk::ExportFormatDescriptor& format) {
            return format.value == ExportFormat_PNG || format.value == ExportFormat_TIFF;
        });
        physicalSizeRelevance = anyFormat(exportManager, [](const sdk::ExportFormatDescriptor& format) {
            return format.isPixelImage() || format.embedsImageAtResolution();
        });
        textConnections.add(widthText->connectToValueChangedSignalUnique(
            [this](const std::string& text) { takeWidth(sideInPixels(text, false)); }));
        textConnections.add(heightText->connectToValueChangedSignalUnique(
            [this](const std::string& text) { takeWidth(sideInPixels(text, true)); }));
        const auto follow = [this](const auto&) { showSize(); };
        followConnections.add(set.imageWidth()->connectToValueChangedSignalUnique(follow));
        followConnections.add(set.resolution()->connectToValueChangedSignalUnique(follow));
        followConnections.add(set.exportFormat()->connectToValueChangedSignalUnique(follow));
        followConnections.add(set.exportRegion()->connectToValueChangedSignalUnique(follow));
        followConnections.add(set.useOffscreenBitmap()->connectToValueChangedSignalUnique(follow));
        followConnections.add(exportManager.useUserDefinedWidth()->connectToValueChangedSignalUnique(follow));
        followConnections.add(panel.usePhysicalSize()->connectToValueChangedSignalUnique(follow));
        followConnections.add(unit->connectToValueChangedSignalUnique(follow));
        showSize();
    }

    int dpi() const { return std::max(1, set.resolution()->retrieveValue()); }

    // The width and height of the file, as the kernel's writers will make them.
    void fileSize(int& width, int& height) const {
        const ExportRegion_e region = set.exportRegion()->retrieveValue();
        const AppLock lock(AppLock::NoImplicitMacroRecord);
        if (panel.usePhysicalSize()->retrieveValue()) {
            width = set.imageWidth()->retrieveValue();
            height = QelUtilGetExportImageHeight(width, region);
            return;
        }
        width = height = 0;
        std::sscanf(exportManager.imageDimensions()->retrieveValue().c_str(), "%d x %d", &width, &height);
    }

    // Width over height of the region.
    double aspect() const {
        const AppLock lock(AppLock::NoImplicitMacroRecord);
        constexpr int wide = 10000;
        const int height = QelUtilGetExportImageHeight(wide, set.exportRegion()->retrieveValue());
        return height > 0 ? static_cast<double>(wide) / height : 1.0;
    }

    // The image width a typed width or height asks for; 0 for a text that is no positive number.
    long sideInPixels(const std::string& text, bool height) const {
        bool ok = false;
        const double length = QString::fromStdString(text).trimmed().toDouble(&ok);
        if (!ok || !(length > 0) || !std::isfinite(length))
            return 0;
        const double pixels = inPixels(length, unit->retrieveValue(), dpi());
        return std::lround(height ? pixels * aspect() : pixels);
    }

    std::string checkSide(const std::string& text, bool height) const {
        bool ok = false;
        QString::fromStdString(text).trimmed().toDouble(&ok);
        if (!ok)
            return "\"" + text + "\" is not a number.";
        const long width = sideInPixels(text, height);
        if (width < smallestSide || width > largestSide)
            return sideRangeMessage(unit->retrieveValue(), dpi());
        return {};
    }

    void takeWidth(long width) {
        set.imageWidth()->setValue(static_cast<int>(width));
        exportManager.useUserDefinedWidth()->setValue(true);
        if (unit->retrieveValue() != Unit_Pixels)
            panel.usePhysicalSize()->setValue(true);
        showSize();
    }

    // The image width that keeps the size in print at the resolution; the current width otherwise.
    long widthAt(int newDpi) const {
        int width = 0;
        int height = 0;
        fileSize(width, height);
        if (unit->retrieveValue() == Unit_Pixels)
            return width;
        return std::lround(static_cast<double>(width) * newDpi / dpi());
    }

    std::string checkResolution(int newDpi) const {
        if (newDpi < 1)
            return "The resolution must be at least 1 dpi.";
        const long width = widthAt(newDpi);
        if (width < smallestSide || width > largestSide)
            return "At " + std::to_string(newDpi) + " dpi the width would be " + std::to_string(width) +
                   " pixels. " + sideRangeMessage(Unit_Pixels, newDpi);
        return {};
    }

    void storeResolution(int newDpi) {
        const long width = widthAt(newDpi);
        const bool keepPhysicalSize = unit->retrieveValue() != Unit_Pixels;
        set.resolution()->setValue(newDpi);
        if (keepPhysicalSize) {
            set.imageWidth()->setValue(static_cast<int>(width));
            exportManager.useUserDefinedWidth()->setValue(true);
        }
    }

    // The texts show the file's size in the unit.
    void showSize() {
        int width = 0;
        int height = 0;
        fileSize(width, height);
        const long shownUnit = unit->retrieveValue();
        const SignalConnectionCollection::ConnectionBlocker quiet(textConnections);
        widthText->setValue(lengthText(inUnit(width, shownUnit, dpi()), shownUnit));
        heightText->setValue(lengthText(inUnit(height, shownUnit, dpi()), shownUnit));
    }

    std::vector<ExportPresetValue> currentSettings() const {
        std::vector<ExportPresetValue> values;
        forEachSetting(set, panel, [&values](const ExportSetting& row, const auto& property) {
            values.push_back({joinedPath(row), asNumber(property->retrieveValue())});
        });
        // Without a typed width, OK writes the width the region has for the format.
        if (!exportManager.useUserDefinedWidth()->retrieveValue() &&
            !panel.usePhysicalSize()->retrieveValue()) {
            const AppLock lock(AppLock::NoImplicitMacroRecord);
            const int width = QelUtilGetDefaultExportImageWidth(set.exportFormat()->retrieveValue(),
                                                                set.exportRegion()->retrieveValue());
            for (ExportPresetValue& value : values) {
                if (value.path == joinedPath(exportsettings::imageWidth))
                    value.value = width;
            }
        }
        return values;
    }

    void apply(const std::vector<ExportPresetValue>& values) {
        forEachSetting(set, panel, [&values](const ExportSetting& row, const auto& property) {
            using Value = typename std::decay_t<decltype(*property)>::ValueType;
            const std::string path = joinedPath(row);
            for (const ExportPresetValue& value : values) {
                if (value.path == path)
                    property->setValue(fromNumber<Value>(value.value));
            }
        });
    }

    void applySettings(const std::vector<ExportPresetValue>& values) {
        const std::vector<ExportPresetValue> before = currentSettings();
        const bool typedWidthBefore = exportManager.useUserDefinedWidth()->retrieveValue();
        try {
            apply(values);
        } catch (const InvalidPropertyValueException&) {
            apply(before);
            exportManager.useUserDefinedWidth()->setValue(typedWidthBefore);
            throw;
        }
        const std::string widthPath = joinedPath(exportsettings::imageWidth);
        for (const ExportPresetValue& value : values) {
            if (value.path == widthPath)
                exportManager.useUserDefinedWidth()->setValue(true);
        }
        showSize();
    }
};

ExportPreviewPropertiesManager::ExportPreviewPropertiesManager(ExportPropertiesGenerated& set,
                                                               ExportPropertiesManager& exportManager)
    : m_impl(std::make_unique<Impl>(set, exportManager)) {}

ExportPreviewPropertiesManager::~ExportPreviewPropertiesManager() = default;

PropertyPtr<bool> ExportPreviewPropertiesManager::usePhysicalSize() const {
    return m_impl->panel.usePhysicalSize();
}
PropertyPtr<bool> ExportPreviewPropertiesManager::transparentBackground() const {
    return m_impl->panel.transparentBackground();
}
PropertyPtr<long> ExportPreviewPropertiesManager::unit() const {
    return m_impl->unit;
}
std::shared_ptr<sdk::ui::dialogs::propertybindings::models::ListModelInterface<long>>
ExportPreviewPropertiesManager::unitModel() const {
    return m_impl->unitModel;
}
PropertyPtr<std::string> ExportPreviewPropertiesManager::widthText() const {
    return m_impl->widthText;
}
PropertyPtr<std::string> ExportPreviewPropertiesManager::heightText() const {
    return m_impl->heightText;
}
PropertyPtr<int> ExportPreviewPropertiesManager::resolution() const {
    return m_impl->resolution;
}
RelevancePtr ExportPreviewPropertiesManager::transparentBackgroundRelevance() const {
    return m_impl->transparentRelevance;
}
RelevancePtr ExportPreviewPropertiesManager::physicalSizeRelevance() const {
    return m_impl->physicalSizeRelevance;
}

void ExportPreviewPropertiesManager::fileSize(int& width, int& height) const {
    m_impl->fileSize(width, height);
}

std::vector<ExportPresetValue> ExportPreviewPropertiesManager::currentSettings() const {
    return m_impl->currentSettings();
}

void ExportPreviewPropertiesManager::applySettings(const std::vector<ExportPresetValue>& values) {
    m_impl->applySettings(values);
}

void ExportPreviewPropertiesManager::onAnyChange(std::function<void()> changed) {
    Impl& d = *m_impl;
    const auto call = [changed](const auto&) { changed(); };
    forEachSetting(d.set, d.panel, [&](const ExportSetting&, const auto& property) {
        d.changeConnections.add(property->connectToValueChangedSignalUnique(call));
    });
    d.changeConnections.add(d.exportManager.useUserDefinedWidth()->connectToValueChangedSignalUnique(call));
}

void ExportPreviewPropertiesManager::discardChanges() {
    m_impl->panel.revertProperties();
    m_impl->showSize();
}

std::string ExportPreviewPropertiesManager::unitSymbol(Unit_e unit) {
    switch (unit) {
    case Unit_Centimetres:
        return "cm";
    case Unit_Inches:
        return "in";
    default:
        return "px";
    }
}

} // namespace qelmar::sdk::ui::propertymanager
