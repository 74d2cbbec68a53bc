#pragma once

#include "propertyframework/InvalidArgumentException.h"
#include "propertyframework/NumberText.h"

#include <string>
#include <type_traits>
#include <typeinfo>

namespace qelmar::sdk::ui::dialogs::propertybindings::intern {

// Turns a user's text into a property value. Numbers are read from the start of the text;
// whatever follows a valid number is ignored, but leading blanks are not skipped, so that a
// field that does not start with a number is refused rather than guessed at.
class StringConverter {
public:
    explicit StringConverter(std::string text)
        : m_text(std::move(text)) {}

    const std::string& text() const noexcept { return m_text; }

    template <typename T> void convert(T& value) const {
        if constexpr (std::is_same_v<T, std::string>) {
            value = m_text;
        } else if constexpr (std::is_same_v<T, short> || std::is_same_v<T, int> || std::is_same_v<T, long> ||
                             std::is_same_v<T, double>) {
            const auto read = parseLeadingNumber<T>(m_text);
            if (!read)
                throw InvalidArgumentException(cannotConvertMessage(typeid(T).name()));
            value = *read;
        } else {
            throw InvalidArgumentException(unsupportedTypeMessage(typeid(T).name()));
        }
    }

private:
    // Inline: the templates above are instantiated in hosts too (a demo's own forms), which see
    // none of the library's hidden functions.
    std::string cannotConvertMessage(const char* typeName) const {
        return "Cannot convert \"" + m_text + "\" to " + typeName;
    }
    static std::string unsupportedTypeMessage(const char* typeName) {
        return std::string("Unsupported type for conversion: ") + typeName;
    }

    std::string m_text;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings::intern
