#include "layout/SaveLayoutPropertiesGenerated.h"

namespace qelmar::sdk::ui::propertymanager {

SaveLayoutPropertiesGenerated::SaveLayoutPropertiesGenerated(bool modal, toolbox::StringList basePath)
    : SaveLayoutPropertiesGenerated(modal, nullptr, std::move(basePath)) {}

SaveLayoutPropertiesGenerated::SaveLayoutPropertiesGenerated(UIKernelStylePropertiesAbstract* parent,
                                                             toolbox::StringList basePath)
    : SaveLayoutPropertiesGenerated(parent->isModal(), parent, std::move(basePath)) {}

SaveLayoutPropertiesGenerated::SaveLayoutPropertiesGenerated(bool modal, UIKernelStylePropertiesAbstract* parent,
                                                             toolbox::StringList basePath)
    : UIKernelStylePropertiesAbstract(modal, parent)
    , m_includePreviewInLayoutPackage(m_table, isModal(), basePath,
                                      {"FileConfig", "LayoutConfig", "IncludePreview"})
    , m_useRelativePathsInStandardLayout(m_table, isModal(), basePath,
                                         {"FileConfig", "LayoutConfig", "UseRelativePaths"})
    , m_includeData(m_table, isModal(), basePath, {"FileConfig", "LayoutConfig", "IncludeData"})
    , m_basePath(std::move(basePath)) {}

SaveLayoutPropertiesGenerated::~SaveLayoutPropertiesGenerated() = default;

void SaveLayoutPropertiesGenerated::submitProperties() {
    m_table.applyAll();
}

void SaveLayoutPropertiesGenerated::setOffset(int firstOffset, int secondOffset) {
    m_table.setOffsets(firstOffset, secondOffset);
}

PropertyPtr<bool> SaveLayoutPropertiesGenerated::IncludePreviewInLayoutPackage() const {
    return m_includePreviewInLayoutPackage.get();
}

void SaveLayoutPropertiesGenerated::setIncludePreviewInLayoutPackage(PropertyPtr<bool> property) {
    m_includePreviewInLayoutPackage.set(std::move(property));
}

PropertyPtr<bool> SaveLayoutPropertiesGenerated::UseRelativePathsInStandardLayout() const {
    return m_useRelativePathsInStandardLayout.get();
}

void SaveLayoutPropertiesGenerated::setUseRelativePathsInStandardLayout(PropertyPtr<bool> property) {
    m_useRelativePathsInStandardLayout.set(std::move(property));
}

PropertyPtr<bool> SaveLayoutPropertiesGenerated::IncludeData() const {
    return m_includeData.get();
}

void SaveLayoutPropertiesGenerated::setIncludeData(PropertyPtr<bool> property) {
    m_includeData.set(std::move(property));
}

} // namespace qelmar::sdk::ui::propertymanager
