#pragma once

#include <string>

namespace qelmar::standin {

// First line of every macro file the stand-in kernel records.
inline std::string macroFileHeader() {
    return "#!QELMAR MACRO 1";
}

void setRecordingLanguage(int language);

} // namespace qelmar::standin
