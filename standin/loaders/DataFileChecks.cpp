#include "loaders/DataFileChecks.h"

#include <sys/stat.h>

#include <stdexcept>

namespace qelmar::standin {

// Opening a named pipe blocks until something writes into it, and a device or a folder has no
// end a reader could rely on, so they are refused before anything opens them.
void requireRegularFile(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return;
    if (!S_ISREG(status.st_mode))
        throw std::runtime_error(path +
                                 " is not a regular file; choose a data file, not a folder, pipe or device.");
}

} // namespace qelmar::standin
