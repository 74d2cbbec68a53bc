#pragma once

#include "propertyframework/ExceptionBase.h"

namespace qelmar {

// A value that a property's validator or the kernel refused; the message is for the user.
class InvalidPropertyValueException : public ExceptionBase {
public:
    explicit InvalidPropertyValueException(const std::string& message);
};

} // namespace qelmar
