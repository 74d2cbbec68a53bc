#pragma once

#include <locale>
#include <sstream>
#include <string>

namespace qelmar {

// Numbers as text the same way whatever locale the host set globally: a field must accept the
// text it shows, and a value written out must read back. Formatting is the default of a text
// stream (integers in decimal, doubles with six significant digits).
template <typename T> std::string formatNumber(const T& value) {
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream << value;
    return stream.str();
}

// Reads one number from the start of a text; what follows it is ignored. Leading blanks are not
// skipped, so that a text that does not start with a number is refused rather than guessed at.
template <typename T> bool readNumberPrefix(const std::string& text, T& value) {
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    stream >> std::noskipws;
    T read{};
    if (!(stream >> read))
        return false;
    value = read;
    return true;
}

} // namespace qelmar
