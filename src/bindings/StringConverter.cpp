#include "bindings/StringConverter.h"

namespace qelmar::sdk::ui::dialogs::propertybindings::intern {

std::string StringConverter::cannotConvertMessage(const char* typeName) const {
    return "Cannot convert \"" + m_text + "\" to " + typeName;
}

std::string StringConverter::unsupportedTypeMessage(const char* typeName) {
    return std::string("Unsupported type for conversion: ") + typeName;
}

} // namespace qelmar::sdk::ui::dialogs::propertybindings::intern
