#pragma once

#include <charconv>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace qelmar {

// Numbers as text, written and read the same way whatever global locale the host application
// installed: a host with a decimal comma must still read back what the library wrote. No
// stream and no C library call here consults a locale.

// The text a default-formatted std::ostream under the classic locale writes: integers in
// decimal, reals with six significant digits ("0.1", "1.23457e+06", "inf", "nan").
// What a text stream writes of a real unless told otherwise.
constexpr int defaultSignificantDigits = 6;

template <typename T> std::string formatNumber(T value) {
    static_assert(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>, "formatNumber writes numbers");
    char text[64];
    std::to_chars_result result;
    if constexpr (std::is_floating_point_v<T>)
        result = std::to_chars(text, text + sizeof text, value, std::chars_format::general,
                               defaultSignificantDigits);
    else
        result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// A number read from the start of a text, and how many characters it took.
template <typename T> struct NumberPrefix {
    T value;
    std::size_t length;
};

// Reads the number at the very start of the text: no leading blanks are skipped, whatever
// follows the number is left alone. A leading '+' is taken like a text stream takes it; reals
// also take the words inf, infinity and nan in any letter case. Nothing is read from a text
// that does not start with a number or whose number does not fit T.
template <typename T> std::optional<NumberPrefix<T>> parseNumberPrefix(std::string_view text) {
    static_assert(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>, "parseNumberPrefix reads numbers");
    std::size_t signLength = 0;
    // from_chars takes no plus sign; a second sign after it is still refused below.
    if (!text.empty() && text.front() == '+' && (text.size() < 2 || (text[1] != '-' && text[1] != '+')))
        signLength = 1;
    const char* first = text.data() + signLength;
    const char* last = text.data() + text.size();
    T value{};
    std::from_chars_result result;
    if constexpr (std::is_floating_point_v<T>)
        result = std::from_chars(first, last, value, std::chars_format::general);
    else
        result = std::from_chars(first, last, value);
    if (result.ec != std::errc())
        return std::nullopt;
    return NumberPrefix<T>{value, static_cast<std::size_t>(result.ptr - text.data())};
}

// The number at the start of the text, whatever follows it.
template <typename T> std::optional<T> parseLeadingNumber(std::string_view text) {
    const auto prefix = parseNumberPrefix<T>(text);
    return prefix ? std::optional<T>(prefix->value) : std::nullopt;
}

// The number the whole text is; anything before or after it, blanks included, fails.
template <typename T> std::optional<T> parseWholeNumber(std::string_view text) {
    const auto prefix = parseNumberPrefix<T>(text);
    if (!prefix || prefix->length != text.size())
        return std::nullopt;
    return prefix->value;
}

} // namespace qelmar
