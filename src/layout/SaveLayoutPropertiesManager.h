#pragma once

#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/RelevanceInterface.h"

#include <memory>
#include <string>

namespace qelmar::sdk::ui::propertymanager {

class SaveLayoutPropertiesGenerated;

// The save-layout options as the dialog shows them: which option applies to the chosen kind
// of layout, and the save that passes the options on and keeps them once it succeeded.
class SaveLayoutPropertiesManager {
public:
    explicit SaveLayoutPropertiesManager(SaveLayoutPropertiesGenerated& properties);
    virtual ~SaveLayoutPropertiesManager();
    SaveLayoutPropertiesManager(const SaveLayoutPropertiesManager&) = delete;
    SaveLayoutPropertiesManager& operator=(const SaveLayoutPropertiesManager&) = delete;

    // A preview image exists only in a package, i.e. while data is included.
    RelevancePtr includePreviewImageRelevance() const;
    // Relative data file paths exist only in a plain layout, i.e. while data is not included.
    RelevancePtr useRelativeDataFilePathRelevance() const;

    PropertyPtr<bool> isIncludingData() const;
    PropertyPtr<bool> isIncludingPreviewImage() const;
    PropertyPtr<bool> isUsingRelativeFilePath() const;

    // Saves the layout with the options shown; only a saved layout writes them to the kernel's
    // configuration. False when the save failed (the user was told) or was cancelled.
    bool saveLayout(const std::string& fileName);

private:
    SaveLayoutPropertiesGenerated& m_properties;
    RelevancePtr m_includePreviewImageRelevance;
    RelevancePtr m_useRelativeDataFilePathRelevance;
};

} // namespace qelmar::sdk::ui::propertymanager
