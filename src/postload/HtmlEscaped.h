#pragma once

#include <string>
#include <string_view>

namespace qelmar::sdk::ui::postload {

// The text with the characters HTML gives a meaning replaced by their entities, so that the
// list views' HTML delegate shows a variable name exactly as written.
inline std::string htmlEscaped(std::string_view text) {
    std::string html;
    html.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '"':
            html += "&quot;";
            break;
        case '&':
            html += "&amp;";
            break;
        case '\'':
            html += "&apos;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        default:
            html += c;
        }
    }
    return html;
}

} // namespace qelmar::sdk::ui::postload
