#pragma once

#include "host/ExceptionBase.h"

#include <boost/lexical_cast.hpp>

#include <limits>
#include <locale>
#include <sstream>
#include <string>

namespace qelmar {

// The conversions a PropertyTypeAdapter<D,S> uses unless it is given its own. Only the pairs
// specialised below exist; every failure raises a plain ExceptionBase, which the adapter turns
// into a message for the user.
template <typename D, typename S> D defaultToDesiredValue(const S& value);

template <typename D, typename S> S defaultToSourceValue(const D& value);

namespace detail {

// Writes a double as a text stream does by default: six significant digits.
inline std::string writeDefaultFormatted(double value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

} // namespace detail

template <> inline long defaultToDesiredValue<long, int>(const int& value) {
    return value;
}

template <> inline int defaultToSourceValue<long, int>(const long& value) {
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        throw ExceptionBase();
    return static_cast<int>(value);
}

// Reads the whole number at the start of the formatted text: 2.5 gives 2, -2.5 gives -2.
template <> inline long defaultToDesiredValue<long, double>(const double& value) {
    std::istringstream text(detail::writeDefaultFormatted(value));
    text.imbue(std::locale::classic());
    long result = 0;
    if (!(text >> result))
        throw ExceptionBase();
    return result;
}

template <> inline double defaultToSourceValue<long, double>(const long& value) {
    return static_cast<double>(value);
}

template <> inline std::string defaultToDesiredValue<std::string, double>(const double& value) {
    std::istringstream text(detail::writeDefaultFormatted(value));
    std::string word;
    if (!(text >> word))
        throw ExceptionBase();
    return word;
}

// The whole text must be a number; nan, inf and infinity are accepted in any letter case.
template <> inline double defaultToSourceValue<std::string, double>(const std::string& value) {
    try {
        return boost::lexical_cast<double>(value);
    } catch (const boost::bad_lexical_cast&) {
        throw ExceptionBase();
    }
}

} // namespace qelmar
