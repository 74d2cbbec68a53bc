#include "layout/SaveLayoutPropertiesManager.h"

#include "host/InvertingRelevance.h"
#include "layout/Layout.h"
#include "layout/SaveLayoutPropertiesGenerated.h"
#include "propertyframework/PropertyDependentRelevance.h"

namespace qelmar::sdk::ui::propertymanager {

SaveLayoutPropertiesManager::SaveLayoutPropertiesManager(SaveLayoutPropertiesGenerated& properties)
    : m_properties(properties)
    , m_includePreviewImageRelevance(
          std::make_shared<const PropertyDependentRelevance<bool>>(properties.IncludeData(), true))
    , m_useRelativeDataFilePathRelevance(
          std::make_shared<const InvertingRelevance>(m_includePreviewImageRelevance)) {}

SaveLayoutPropertiesManager::~SaveLayoutPropertiesManager() = default;

RelevancePtr SaveLayoutPropertiesManager::includePreviewImageRelevance() const {
    return m_includePreviewImageRelevance;
}

RelevancePtr SaveLayoutPropertiesManager::useRelativeDataFilePathRelevance() const {
    return m_useRelativeDataFilePathRelevance;
}

PropertyPtr<bool> SaveLayoutPropertiesManager::isIncludingData() const {
    return m_properties.IncludeData();
}

PropertyPtr<bool> SaveLayoutPropertiesManager::isIncludingPreviewImage() const {
    return m_properties.IncludePreviewInLayoutPackage();
}

PropertyPtr<bool> SaveLayoutPropertiesManager::isUsingRelativeFilePath() const {
    return m_properties.UseRelativePathsInStandardLayout();
}

bool SaveLayoutPropertiesManager::saveLayout(const std::string& fileName) {
    const bool includeData = m_properties.IncludeData()->retrieveValue();
    const bool includePreview = m_properties.IncludePreviewInLayoutPackage()->retrieveValue();
    const bool useRelativePaths = m_properties.UseRelativePathsInStandardLayout()->retrieveValue();
    if (util::saveLayout(fileName.c_str(), includeData, includePreview, useRelativePaths) !=
        util::SaveLayout_Saved)
        return false;
    m_properties.submitProperties();
    return true;
}

} // namespace qelmar::sdk::ui::propertymanager
