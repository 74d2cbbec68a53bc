#pragma once

// Internal to the stand-in kernel and its testing controls: where startup files are kept.

#include <string>

namespace qelmar::standin {

// The folder set by setStartupFolder, else $QELMAR_STARTUP_DIR when set and not empty, else
// "qelmar/startup" in the user's configuration folder (~/.config on Linux).
std::string startupFolder();
// An empty folder returns to the default above.
void setStartupFolder(std::string folder);

} // namespace qelmar::standin
