#include "layout/SaveLayoutPropertiesGenerated.h"

namespace qelmar::sdk::ui::propertymanager {

SaveLayoutPropertiesGenerated::SaveLayoutPropertiesGenerated(bool modal, toolbox::StringList basePath)
    : SaveLayoutPropertiesGenerated(modal, nullptr, std::move(basePath)) {}

SaveLayoutPropertiesGenerated::SaveLayoutPropertiesGenerated(UIKernelStylePropertiesAbstract* parent,
                                                             toolbox::StringList basePath)
    : SaveLayoutPropertiesGenerated(parent->isModal(), parent, std::move(basePath)) {}

SaveLayoutPropertiesGenerated::SaveLayoutPropertiesGenerated(bool modal,
                                                             UIKernelStylePropertiesAbstract* parent,
                                                             toolbox::StringList basePath)
    : UIKernelStylePropertiesAbstract(modal, parent)
    , m_basePath(std::move(basePath)) {}

SaveLayoutPropertiesGenerated::~SaveLayoutPropertiesGenerated() = default;

} // namespace qelmar::sdk::ui::propertymanager
