#pragma once

#include "host/StringList.h"
#include "host/UIKernelStylePropertiesAbstract.h"
#include "styleproperties/KernelStylePropertySet.h"

// One line per style value: value type, getter, setter, path below the set's base path.
// clang-format off
#define QELMAR_SAVE_LAYOUT_STYLE_PROPERTIES(X) \
    X(bool, IncludePreviewInLayoutPackage, setIncludePreviewInLayoutPackage, "FileConfig", "LayoutConfig", "IncludePreview") \
    X(bool, UseRelativePathsInStandardLayout, setUseRelativePathsInStandardLayout, "FileConfig", "LayoutConfig", "UseRelativePaths") \
    X(bool, IncludeData, setIncludeData, "FileConfig", "LayoutConfig", "IncludeData")
// clang-format on

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

    QELMAR_STYLE_PROPERTY_SET_OPERATIONS
    QELMAR_SAVE_LAYOUT_STYLE_PROPERTIES(QELMAR_STYLE_PROPERTY_ACCESSORS)

    const toolbox::StringList& basePath() const noexcept { return m_basePath; }

private:
    SaveLayoutPropertiesGenerated(bool modal, UIKernelStylePropertiesAbstract* parent,
                                  toolbox::StringList basePath);

    QELMAR_STYLE_PROPERTY_SET_MEMBERS(QELMAR_SAVE_LAYOUT_STYLE_PROPERTIES)
};

} // namespace qelmar::sdk::ui::propertymanager
