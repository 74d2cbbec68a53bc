#pragma once

#include "propertyframework/ExceptionBase.h"

#include "propertyframework/NumberText.h"

#include <limits>
#include <string>

namespace qelmar {

// The conversions a PropertyTypeAdapter<D,S> uses unless it is given its own. Only the pairs
// specialised below exist; every failure raises a plain ExceptionBase, which the adapter turns
// into a message for the user.
template <typename D, typename S> D defaultToDesiredValue(const S& value);

template <typename D, typename S> S defaultToSourceValue(const D& value);

template <> inline long defaultToDesiredValue<long, int>(const int& value) {
    return value;
}

template <> inline int defaultToSourceValue<long, int>(const long& value) {
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        throw ExceptionBase();
    return static_cast<int>(value);
}

// The whole number at the start of the formatted text: 2.5 gives 2, -2.5 gives -2.
template <> inline long defaultToDesiredValue<long, double>(const double& value) {
    const auto result = parseLeadingNumber<long>(formatNumber(value));
    if (!result)
        throw ExceptionBase();
    return *result;
}

template <> inline double defaultToSourceValue<long, double>(const long& value) {
    return static_cast<double>(value);
}

template <> inline std::string defaultToDesiredValue<std::string, double>(const double& value) {
    return formatNumber(value);
}

// The whole text must be a number; nan, inf and infinity are accepted in any letter case.
template <> inline double defaultToSourceValue<std::string, double>(const std::string& value) {
    const auto result = parseWholeNumber<double>(value);
    if (!result)
        throw ExceptionBase();
    return *result;
}

} // namespace qelmar
