#pragma once

#include <locale>
#include <string>
#include <string_view>

namespace qelmar::sdk::ui::postload {

// A variable name without the white space around it, as the global locale classifies it: names
// come from files and users of any locale.
// The view is into `text`.
inline std::string_view trimmedNameView(std::string_view text) {
    const std::locale locale;
    // The facet once, not once per character as std::isspace(c, locale) looks it up.
    const auto& classes = std::use_facet<std::ctype<char>>(locale);
    const auto isBlank = [&classes](char c) { return classes.is(std::ctype_base::space, c); };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

inline std::string trimmedName(std::string_view text) {
    return std::string(trimmedNameView(text));
}

} // namespace qelmar::sdk::ui::postload
