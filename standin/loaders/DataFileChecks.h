#pragma once

// Internal to the stand-in framework's loaders: checks on a data file before it is opened.

#include <string>

namespace qelmar::standin {

// Throws std::runtime_error naming the file when it exists but is not a regular file. A missing
// file passes, so that each reader reports it in its own words.
void requireRegularFile(const std::string& path);

} // namespace qelmar::standin
