#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qelmar::sdk::ui::postload {

// Which variable to load an available name probably means. Names are compared in a normalised
// form: letter case ignored, and blanks, "_", "-" and "." left out, so "Air Temp", "air_temp"
// and "AIRTEMP" are one form. A unit is recognised in two places only: in brackets at the end
// ("temperature [K]", "p (hPa)"), whatever the brackets hold, and after a final "_" when the
// word there is one of a short list of unit symbols (m, cm, mm, km, s, min, h, K, C, degC, Pa,
// hPa, kPa, mbar, bar, psu, ...). "x_coord" therefore keeps its "coord": a coordinate is
// matched to "X" only through an alias group such as "X;x_coord".
//
// Strongest reason first, one suggestion per available name:
//   1. the same normalised form ("same name in another case", "same name with other separators");
//   2. an alias group holds the name and a name of the variable ("same alias group"); names in
//      one group are equivalent, so "T;temp;temperature" lets "temperature [K]" mean "T";
//   3. the same normalised form once the unit is removed from either side ("unit removed");
//   4. normalised forms of at least 6 characters that differ by one letter added, removed or
//      replaced ("one letter differs").
// Nothing weaker than that is suggested. Case never joins what the data keeps apart: when two
// variables to load, or two available names, share a normalised form ("T" and "t"), that form
// suggests nothing, and an alias group then only leads to a variable it names exactly.
//
// Every lookup goes through hash maps of normalised forms (one-letter differences through the
// forms with one letter left out), so the work grows with the number of names, not with the
// number of pairs.
enum class SimilarityReason { OtherCase, OtherSeparators, AliasGroup, UnitRemoved, OneLetterDiffers };

struct NameSuggestion {
    int availableRow = -1;
    int toLoadRow = -1;
    std::string availableName;
    // The variable's first name.
    std::string variableName;
    SimilarityReason reason = SimilarityReason::OtherCase;
};

// The reason as the window shows it.
std::string similarityReasonText(SimilarityReason reason);

// Lower case, without blanks, "_", "-" and ".".
std::string normalisedVariableName(std::string_view name);
// The normalised form without a trailing unit, or empty when the name carries none.
std::string normalisedWithoutUnit(std::string_view name);

// `available` holds one name per row; `toLoad` one entry per row, its names separated by LF;
// `aliasGroups` the groups of an aliases file. Ordered by available row.
std::vector<NameSuggestion> suggestVariableMatches(const std::vector<std::string>& available,
                                                   const std::vector<std::string>& toLoad,
                                                   const std::vector<std::vector<std::string>>& aliasGroups);

} // namespace qelmar::sdk::ui::postload
