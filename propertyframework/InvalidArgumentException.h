#pragma once

#include "propertyframework/ExceptionBase.h"

namespace qelmar {

// Raised when a text cannot be converted into the type that was asked for.
class InvalidArgumentException : public ExceptionBase {
public:
    using ExceptionBase::ExceptionBase;
};

} // namespace qelmar
