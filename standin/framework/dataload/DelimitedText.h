#pragma once

// Internal to the stand-in framework's loaders: numeric tables in text files, one row per line
// below a header row of variable names.

#include "kernel/DataFileFormat.h"

#include <string>

namespace qelmar::standin {

struct DelimitedTextOptions {
    // Comma, semicolon, tab or blank (runs of blanks and tabs); 0 detects it from the header row.
    char separator = 0;
    char decimalSeparator = '.';
    // Lines before the header row that are not part of the table.
    int linesToSkip = 0;
};

// Empty fields are missing values (NaN). Throws std::runtime_error naming the file and, for a
// bad row, the line and the field.
DataValues parseDelimitedText(const char* begin, const char* end, const DelimitedTextOptions& options,
                              const std::string& fileName);
DataValues readDelimitedText(const std::string& path, const DelimitedTextOptions& options);

} // namespace qelmar::standin
