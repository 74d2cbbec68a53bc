#pragma once

#include "host/StyleValue.h"

namespace qelmar::toolbox {

// A style value whose low-level calls check the argument list before the kernel sees it: an
// argument list that was not set up, or that carries no value, is answered with an error code
// instead of reaching the kernel.
class CheckedStyleValue : public StyleValue {
public:
    explicit CheckedStyleValue(const StyleValue& styleValue)
        : StyleValue(styleValue) {}

    GetValueReturnCode_e styleGetLowLevel(ArgList& args) const;
    SetValueReturnCode_e styleSetLowLevel(ArgList& args) const;
};

} // namespace qelmar::toolbox
