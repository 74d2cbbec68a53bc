#pragma once

#include <locale>
#include <string>
#include <string_view>

namespace qelmar::sdk::ui::postload {

// A variable name without the white space around it, as the global locale classifies it: names
// come from files and users of any locale.
inline std::string trimmedName(std::string_view text) {
    const std::locale locale;
    const auto isBlank = [&locale](char c) { return std::isspace(c, locale); };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

} // namespace qelmar::sdk::ui::postload
