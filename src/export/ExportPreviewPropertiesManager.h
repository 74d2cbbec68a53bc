#pragma once

#include "export/ExportPresets.h"

#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/RelevanceInterface.h"
#include "propertyframework/models/ListModelInterface.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qelmar::sdk::ui::propertymanager {

class ExportPropertiesGenerated;
class ExportPropertiesManager;

// What the export dialog's preview panel adds to the export settings: the size of the file in
// print (typed in pixels, centimetres or inches at a resolution), a transparent background, and
// every setting as one list of values for previews and presets. The panel's kernel settings are
// deferred like the dialog's and submitted together with the dialog's set.
class ExportPreviewPropertiesManager {
public:
    enum Unit_e : long {
        Unit_Pixels = 0,
        Unit_Centimetres = 1,
        Unit_Inches = 2,
    };

    ExportPreviewPropertiesManager(ExportPropertiesGenerated& set, ExportPropertiesManager& exportManager);
    ~ExportPreviewPropertiesManager();
    ExportPreviewPropertiesManager(const ExportPreviewPropertiesManager&) = delete;
    ExportPreviewPropertiesManager& operator=(const ExportPreviewPropertiesManager&) = delete;

    // "ExportSetup" "UsePhysicalSize" and "ExportSetup" "TransparentBackground".
    PropertyPtr<bool> usePhysicalSize() const;
    PropertyPtr<bool> transparentBackground() const;
    // The unit the width and height are typed in; an Unit_e.
    PropertyPtr<long> unit() const;
    std::shared_ptr<sdk::ui::dialogs::propertybindings::models::ListModelInterface<long>> unitModel() const;
    // The file's width and height in the unit; typing one sets the image width (the height keeps
    // the region's aspect) and refuses a size the writers cannot make.
    PropertyPtr<std::string> widthText() const;
    PropertyPtr<std::string> heightText() const;
    // The dialog's resolution in dots per inch; a change keeps the size in print while the unit is
    // physical, and the pixels while it is Pixels.
    PropertyPtr<int> resolution() const;

    RelevancePtr transparentBackgroundRelevance() const;
    RelevancePtr physicalSizeRelevance() const;

    // The size in pixels of the file an export with the dialog's settings would write.
    void fileSize(int& width, int& height) const;

    // Every export setting the dialog and the panel hold, as an export with them would use it, in
    // the order the sets submit them; the file name excepted.
    std::vector<::qelmar::dialogs::io::ExportPresetValue> currentSettings() const;
    // Sets the dialog's properties from the values (pending until OK, like any edit). A refused
    // value raises InvalidPropertyValueException and leaves every property as it was.
    void applySettings(const std::vector<::qelmar::dialogs::io::ExportPresetValue>& values);
    // Calls `changed` after every change of a setting that changes the file.
    void onAnyChange(std::function<void()> changed);

    // Drops the panel's pending values for the kernel's.
    void discardChanges();

    static std::string unitSymbol(Unit_e unit);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::propertymanager
