#pragma once

// Internal to the stand-in kernel: the reason behind QelUtilGetLastErrorMessage. Every call
// that writes or reads a file clears it when it starts and sets it when it fails, so the text
// always belongs to the most recent such call.

#include <string>

namespace qelmar::standin {

void setLastErrorMessage(std::string message);
void clearLastErrorMessage();
const std::string& lastErrorMessage();

} // namespace qelmar::standin
