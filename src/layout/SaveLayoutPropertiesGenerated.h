#pragma once

#include "host/StringList.h"
#include "host/UIKernelStylePropertiesAbstract.h"
#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/styleproperties/KernelStylePropertyTable.h"

namespace qelmar::sdk::ui::propertymanager {

// The layout options the kernel keeps in its configuration ("FileConfig" "LayoutConfig"):
// whether a layout is saved as a package with its data, whether a package carries a preview
// image, and whether a plain layout refers to its data files by relative paths.
class SaveLayoutPropertiesGenerated : public UIKernelStylePropertiesAbstract {
public:
    SaveLayoutPropertiesGenerated(bool modal, toolbox::StringList basePath);
    // Nested in a parent set: modal when the parent is, submitted with it.
    SaveLayoutPropertiesGenerated(UIKernelStylePropertiesAbstract* parent, toolbox::StringList basePath);
    ~SaveLayoutPropertiesGenerated() override;

    void submitProperties() override;
    void setOffset(int firstOffset, int secondOffset) override;

    virtual PropertyPtr<bool> IncludePreviewInLayoutPackage() const;
    virtual void setIncludePreviewInLayoutPackage(PropertyPtr<bool> property);
    virtual PropertyPtr<bool> UseRelativePathsInStandardLayout() const;
    virtual void setUseRelativePathsInStandardLayout(PropertyPtr<bool> property);
    virtual PropertyPtr<bool> IncludeData() const;
    virtual void setIncludeData(PropertyPtr<bool> property);

    const toolbox::StringList& basePath() const noexcept { return m_basePath; }

private:
    SaveLayoutPropertiesGenerated(bool modal, UIKernelStylePropertiesAbstract* parent,
                                  toolbox::StringList basePath);

    using Entry = styleproperties::KernelStylePropertyEntry<bool>;

    styleproperties::KernelStylePropertyTable m_table;
    Entry m_includePreviewInLayoutPackage;
    Entry m_useRelativePathsInStandardLayout;
    Entry m_includeData;
    toolbox::StringList m_basePath;
};

} // namespace qelmar::sdk::ui::propertymanager
