// The format and settings tables against the dialog and the kernel that are built from them.

#include "ExportPreviewSteps.h"

#include "host/ExportFormats.h"
#include "host/ExportSettingsTable.h"
#include "host/LaunchHelpAction.h"
#include "host/StyleValue.h"
#include "propertyframework/InvalidPropertyValueException.h"
#include "styleproperties/KernelProperty.h"

#include <QSet>
#include <QStackedWidget>

#include <cmath>

namespace qelmar::exporting::test {

using sdk::ExportFormatDescriptor;
using sdk::ExportFormatOffer;
using sdk::ExportSetting;
using sdk::ExportSettingType;

namespace {

QString formatLabel(const ExportFormatDescriptor& format) {
    return QCoreApplication::translate("ExportFormat", format.label);
}

standin::StylePath stylePathOf(const ExportSetting& setting) {
    return standin::StylePath(setting.path.begin(), setting.path.end());
}

std::string nameOf(const ExportSetting& setting) {
    std::string name;
    for (const char* part : setting.path)
        name += std::string(name.empty() ? "" : "/") + part;
    return name;
}

// Writes through the kernel's own checks, as the dialog does; false when the kernel refuses.
template <typename T> bool kernelTakes(const ExportSetting& setting, T value) {
    try {
        sdk::styleproperties::KernelProperty<T>(toolbox::StyleValue(toolbox::StringList(setting.path)))
            .setValue(value);
        return true;
    } catch (const InvalidPropertyValueException&) {
        return false;
    }
}

} // namespace

// Every format a list offers, chosen in its mode, shows its page and no other, links its own
// help page and proposes files of its type; the extra formats share the PostScript page.
TEST_F(ExportDialogTest, EveryOfferedFormatShowsItsOwnPageHelpAndFileType) {
    const QStringList plainStillFormats = {"BMP", "EPS", "JPEG", "PNG", "PostScript", "TIFF", "WMF"};
    EXPECT_EQ(itemsOf(control<QComboBox>(open(), "export_Format_CmbBox")), plainStillFormats);
    ExportDialog::getInstance(host, ExportDialog::Mode_StillImage)->reject();
    // Switched on for the dialog that exists.
    const AdditionsSwitch extras({false, true, false});
    EXPECT_EQ(itemsOf(control<QComboBox>(open(), "export_Format_CmbBox")),
              QStringList({"BMP", "EPS", "JPEG", "PDF", "PNG", "PostScript", "SVG", "TIFF", "WMF"}));
    ExportDialog::getInstance(host, ExportDialog::Mode_StillImage)->reject();

    int offered = 0;
    QSet<QString> pagesReached;
    for (const ExportFormatDescriptor& format : sdk::exportFormats()) {
        if (format.offer == ExportFormatOffer::None)
            continue;
        ++offered;
        SCOPED_TRACE(format.label);
        const auto mode = format.offer == ExportFormatOffer::Animation ? ExportDialog::Mode_Animation
                                                                       : ExportDialog::Mode_StillImage;
        ExportDialog& dialog = open(mode);
        choose(dialog, "export_Format_CmbBox", formatLabel(format));
        QCoreApplication::processEvents();

        ASSERT_NE(format.pagePrefix, nullptr);
        QWidget* region = control(dialog, (std::string(format.pagePrefix) + "Region_CmbBox").c_str());
        ASSERT_NE(region, nullptr);
        int pagesShown = 0;
        for (QWidget* page : control<QStackedWidget>(dialog, "stackedWidget")
                                 ->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (page->isVisible()) {
                ++pagesShown;
                pagesReached.insert(page->objectName());
            }
        }
        EXPECT_EQ(pagesShown, 1);
        EXPECT_TRUE(region->isVisible());

        const auto* help = dynamic_cast<sdk::ui::LaunchHelpAction*>(dialog.helpAction());
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->link(), QString::fromLatin1(format.helpPage));

        std::string extension, pattern, description;
        ExportDialog::getExportFileSettings(format.value, extension, pattern, description);
        EXPECT_EQ(pattern, "*." + extension);
        EXPECT_EQ(extension, format.extension);
        EXPECT_FALSE(description.empty());
        dialog.reject();
    }
    EXPECT_EQ(offered, 14);
    // Every page of the form belongs to a format.
    QWidget* dialog = ExportDialog::getInstance(host, ExportDialog::Mode_StillImage);
    EXPECT_EQ(pagesReached.size(), control<QStackedWidget>(*dialog, "stackedWidget")->count());
}

TEST(ExportFileSettingsTest, AValueThatIsNoFormatHasNoFileType) {
    for (int value : {5, 10, 15, 25, -1}) {
        std::string extension = "x", pattern = "x", description = "x";
        ExportDialog::getExportFileSettings(static_cast<ExportFormat_e>(value), extension, pattern,
                                            description);
        EXPECT_EQ(extension + pattern + description, "") << value;
    }
    std::string extension, pattern, description;
    ExportDialog::getExportFileSettings(ExportFormat_TIFF, extension, pattern, description);
    EXPECT_EQ(description + " (" + pattern + ")", "TIFF Files (*.tiff)");
}

using ExportSettingsTableTest = ExportTest;

// A fresh kernel holds each setting at the table's default and keeps it within the table's
// range, so the bounds the dialog checks are the kernel's.
TEST_F(ExportSettingsTableTest, EverySettingStartsAtItsDefaultAndTheKernelKeepsItsRange) {
    for (const ExportSetting* setting : sdk::exportsettings::all) {
        SCOPED_TRACE(nameOf(*setting));
        const standin::StylePath path = stylePathOf(*setting);
        switch (setting->type) {
        case ExportSettingType::Boolean:
            EXPECT_EQ(styles.boolValue(path), setting->defaultValue != 0);
            break;
        case ExportSettingType::Integer:
            EXPECT_EQ(styles.integerValue(path), static_cast<long>(setting->defaultValue));
            EXPECT_FALSE(kernelTakes(*setting, static_cast<long>(setting->minimum) - 1));
            EXPECT_FALSE(kernelTakes(*setting, static_cast<long>(setting->maximum) + 1));
            EXPECT_TRUE(kernelTakes(*setting, static_cast<long>(setting->maximum)));
            EXPECT_TRUE(kernelTakes(*setting, static_cast<long>(setting->minimum)));
            break;
        case ExportSettingType::Enumeration:
            EXPECT_EQ(styles.integerValue(path), static_cast<long>(setting->defaultValue));
            EXPECT_NE(std::find(setting->begin(), setting->end(), static_cast<long>(setting->defaultValue)),
                      setting->end());
            EXPECT_FALSE(kernelTakes(*setting, *std::max_element(setting->begin(), setting->end()) + 1));
            for (long choice : *setting)
                EXPECT_TRUE(kernelTakes(*setting, choice)) << choice;
            break;
        case ExportSettingType::Real:
            EXPECT_DOUBLE_EQ(styles.realValue(path), setting->defaultValue);
            EXPECT_FALSE(kernelTakes(*setting, std::nextafter(setting->minimum, -1e300)));
            EXPECT_FALSE(kernelTakes(*setting, std::nextafter(setting->maximum, 1e300)));
            EXPECT_TRUE(kernelTakes(*setting, setting->maximum));
            break;
        case ExportSettingType::Text:
            EXPECT_EQ(styles.textValue(path), "");
            break;
        }
    }
}

// The dialog refuses a typed number where the kernel would, and takes what the kernel takes.
TEST_F(ExportSettingsTableTest, TheDialogBoundsTheNumbersTheUserTypesByTheKernelsRanges) {
    ExportPropertiesGenerated set(true, toolbox::StringList());
    ExportPropertiesManager manager(set);
    namespace rows = sdk::exportsettings;
    const std::pair<PropertyPtr<int>, const ExportSetting*> bounded[] = {
        {set.imageWidth(), &rows::imageWidth},
        {set.superSampleFactor(), &rows::superSampleFactor},
        {set.precision(), &rows::precision},
        {set.epsPreviewImageWidth(), &rows::epsPreviewImageWidth},
        {set.epsPreviewImageHeight(), &rows::epsPreviewImageHeight},
    };
    for (const auto& [property, setting] : bounded) {
        SCOPED_TRACE(nameOf(*setting));
        const int lowest = static_cast<int>(setting->minimum);
        const int highest = static_cast<int>(setting->maximum);
        EXPECT_THROW(property->setValue(lowest - 1), InvalidPropertyValueException);
        EXPECT_THROW(property->setValue(highest + 1), InvalidPropertyValueException);
        EXPECT_NO_THROW(property->setValue(lowest));
        EXPECT_NO_THROW(property->setValue(highest));
    }
    EXPECT_THROW(set.animationSpeed()->setValue(rows::animationSpeed.maximum * 1.01),
                 InvalidPropertyValueException);
    EXPECT_NO_THROW(set.animationSpeed()->setValue(rows::animationSpeed.minimum));
}

} // namespace qelmar::exporting::test
