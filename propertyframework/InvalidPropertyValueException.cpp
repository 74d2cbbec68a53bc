#include "propertyframework/InvalidPropertyValueException.h"

namespace qelmar {

InvalidPropertyValueException::InvalidPropertyValueException(const std::string& message)
    : ExceptionBase(message, true) {}

} // namespace qelmar
