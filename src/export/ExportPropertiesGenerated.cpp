#include "export/ExportPropertiesGenerated.h"

namespace qelmar::sdk::ui::propertymanager {

ExportPropertiesGenerated::ExportPropertiesGenerated(bool modal, toolbox::StringList basePath)
    : ExportPropertiesGenerated(modal, nullptr, std::move(basePath)) {}

ExportPropertiesGenerated::ExportPropertiesGenerated(UIKernelStylePropertiesAbstract* parent,
                                                     toolbox::StringList basePath)
    : ExportPropertiesGenerated(parent->isModal(), parent, std::move(basePath)) {}

ExportPropertiesGenerated::ExportPropertiesGenerated(bool modal, UIKernelStylePropertiesAbstract* parent,
                                                     toolbox::StringList basePath)
    : UIKernelStylePropertiesAbstract(modal, parent)
    , m_basePath(std::move(basePath)) {}

ExportPropertiesGenerated::~ExportPropertiesGenerated() = default;

} // namespace qelmar::sdk::ui::propertymanager
