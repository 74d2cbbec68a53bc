#pragma once

// Internal to the stand-in framework's loaders: numeric tables in text files, one row per line,
// usually below a header row of variable names.

#include "loaders/ZoneValues.h"

#include <QIODevice>

#include <string>
#include <vector>

namespace qelmar::standin {

// Whether the first row names the variables.
enum class DelimitedTextHeader {
    Detect, // names unless every field of the first row is a number or a missing value
    Names,
    None // the variables are V1, V2, ...
};

struct DelimitedTextOptions {
    // Comma, semicolon, tab or blank (runs of blanks and tabs); 0 detects it from the first row.
    char separator = 0;
    char decimalSeparator = '.';
    // Lines before the first row that are not part of the table.
    int linesToSkip = 0;
    DelimitedTextHeader header = DelimitedTextHeader::Detect;
    // Lines starting with it (after blanks) are left out; 0 for none.
    char commentMarker = '#';
    // Fields that stand for a missing value (NaN) besides an empty one.
    std::vector<std::string> missingValues = defaultMissingValues();

    static std::vector<std::string> defaultMissingValues() { return {"NA", "NaN", "nan", "-"}; }
};

// Throw std::runtime_error naming the file and, for a bad row, the line and the column.
ZoneValues parseDelimitedText(const char* begin, const char* end, const DelimitedTextOptions& options,
                              const std::string& fileName);
ZoneValues readDelimitedText(QIODevice& device, const DelimitedTextOptions& options,
                             const std::string& fileName);
ZoneValues readDelimitedText(const std::string& path, const DelimitedTextOptions& options);

} // namespace qelmar::standin
