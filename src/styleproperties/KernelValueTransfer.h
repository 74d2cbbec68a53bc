#pragma once

#include "host/CheckedStyleValue.h"
#include "host/KernelString.h"

#include <cmath>
#include <string>
#include <type_traits>

namespace qelmar::sdk::styleproperties::detail {

// Integers, characters and enumerations cross to the kernel as long integers through the
// low-level calls; booleans, reals and texts through the style value's typed calls.
template <typename T>
constexpr bool travelsAsInteger = (std::is_integral_v<T> && !std::is_same_v<T, bool>) || std::is_enum_v<T>;

template <typename T>
GetValueReturnCode_e readFromKernel(const toolbox::CheckedStyleValue& styleValue, toolbox::ArgList& args,
                                    T& value) {
    if constexpr (travelsAsInteger<T>) {
        long received = 0;
        args.appendArbParamPtr("IValue", &received);
        const GetValueReturnCode_e code = styleValue.styleGetLowLevel(args);
        if (toolbox::StyleValue::returnCodeOk(code))
            value = static_cast<T>(received);
        return code;
    } else {
        return styleValue.getFinalValue(&value, args);
    }
}

template <typename T>
SetValueReturnCode_e writeToKernel(const toolbox::CheckedStyleValue& styleValue, toolbox::ArgList& args,
                                   const T& value) {
    if constexpr (travelsAsInteger<T>) {
        args.appendArbParam("IValue", static_cast<long>(value));
        args.appendDouble("DValue", static_cast<double>(value));
        return styleValue.styleSetLowLevel(args);
    } else {
        return styleValue.setFinalValue(value, args);
    }
}

// Whether a value read from the kernel is news. Two NaNs are the same reading: otherwise a NaN
// held by the kernel would be announced on every read.
template <typename T> bool sameReading(const T& a, const T& b) {
    if constexpr (std::is_floating_point_v<T>) {
        if (std::isnan(a) && std::isnan(b))
            return true;
    }
    return a == b;
}

// The kernel's text for its last refused write, for the user.
inline std::string lastStyleErrorMessage() {
    const KernelString kernelText(QelUtilStyleGetLastErrorString());
    return kernelText.isEmpty() ? "Unknown error" : kernelText.str();
}

} // namespace qelmar::sdk::styleproperties::detail
