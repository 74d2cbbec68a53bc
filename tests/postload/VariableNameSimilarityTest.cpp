#include "postload/VariableNameSimilarity.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace {

using namespace qelmar::sdk::ui::postload;
using Names = std::vector<std::string>;
using Groups = std::vector<std::vector<std::string>>;

struct Expected {
    std::string variable;
    SimilarityReason reason;
};

struct SimilarityCase {
    const char* name;
    Names available;
    Names toLoad;
    Groups groups;
    // Available name -> what it suggests; a name not listed suggests nothing.
    std::map<std::string, Expected> expected;
};

std::ostream& operator<<(std::ostream& out, const SimilarityCase& row) {
    return out << row.name;
}

class VariableNameSimilarityTest : public ::testing::TestWithParam<SimilarityCase> {};

TEST_P(VariableNameSimilarityTest, SuggestsWhatTheRuleSaysAndNothingElse) {
    const SimilarityCase& row = GetParam();
    std::map<std::string, Expected> found;
    for (const NameSuggestion& suggestion : suggestVariableMatches(row.available, row.toLoad, row.groups)) {
        EXPECT_EQ(row.available.at(static_cast<std::size_t>(suggestion.availableRow)),
                  suggestion.availableName);
        const std::string& entry = row.toLoad.at(static_cast<std::size_t>(suggestion.toLoadRow));
        EXPECT_EQ(entry.substr(0, entry.find('\n')), suggestion.variableName);
        found[suggestion.availableName] = {suggestion.variableName, suggestion.reason};
    }
    for (const std::string& name : row.available) {
        const auto wanted = row.expected.find(name);
        const auto got = found.find(name);
        if (wanted == row.expected.end()) {
            EXPECT_EQ(got, found.end()) << name << " suggests " << got->second.variable;
            continue;
        }
        ASSERT_NE(got, found.end()) << name << " suggests nothing";
        EXPECT_EQ(got->second.variable, wanted->second.variable) << name;
        EXPECT_EQ(similarityReasonText(got->second.reason), similarityReasonText(wanted->second.reason))
            << name;
    }
}

using R = SimilarityReason;

INSTANTIATE_TEST_SUITE_P(
    NamePairs, VariableNameSimilarityTest,
    ::testing::Values(
        SimilarityCase{"TemperatureWithUnitMeansTThroughItsGroup",
                       {"temperature [K]"},
                       {"X", "T"},
                       {{"T", "temp", "temperature"}},
                       {{"temperature [K]", {"T", R::AliasGroup}}}},
        SimilarityCase{"CoordinateMeansXThroughItsGroup",
                       {"x_coord"},
                       {"X", "Y"},
                       {{"X", "x_coord", "XC"}},
                       {{"x_coord", {"X", R::AliasGroup}}}},
        SimilarityCase{"CoordinateSuffixIsNoUnit", {"x_coord", "y_coord"}, {"X", "Y"}, {}, {}},
        SimilarityCase{
            "OtherCase", {"Pressure"}, {"pressure"}, {}, {{"Pressure", {"pressure", R::OtherCase}}}},
        SimilarityCase{"OtherSeparators",
                       {"air_temp"},
                       {"Air Temp"},
                       {},
                       {{"air_temp", {"Air Temp", R::OtherSeparators}}}},
        SimilarityCase{"AnEntrysLaterNameCounts", {"XC"}, {"X\nxc", "Y"}, {}, {{"XC", {"X", R::OtherCase}}}},
        SimilarityCase{"UnitInBracketsRemoved", {"p (hPa)"}, {"P"}, {}, {{"p (hPa)", {"P", R::UnitRemoved}}}},
        SimilarityCase{"UnitAfterAFinalUnderscoreRemoved",
                       {"depth_m"},
                       {"Depth"},
                       {},
                       {{"depth_m", {"Depth", R::UnitRemoved}}}},
        SimilarityCase{"UnitOnTheVariablesSide",
                       {"salinity"},
                       {"Salinity_psu"},
                       {},
                       {{"salinity", {"Salinity_psu", R::UnitRemoved}}}},
        SimilarityCase{"OneLetterInALongName",
                       {"humidty"},
                       {"humidity"},
                       {},
                       {{"humidty", {"humidity", R::OneLetterDiffers}}}},
        SimilarityCase{"OneLetterReplaced",
                       {"windspeed"},
                       {"windspead"},
                       {},
                       {{"windspeed", {"windspead", R::OneLetterDiffers}}}},
        SimilarityCase{
            "ShortNamesOneLetterApartAreDifferentVariables", {"temp1", "T"}, {"temp2", "P"}, {}, {}},
        SimilarityCase{
            "TwoVariablesALetterAwayLeaveTheChoiceToTheUser", {"station"}, {"stations", "stationx"}, {}, {}},
        SimilarityCase{"NothingAlikeNothingSuggested", {"wind", "u"}, {"pressure", "T"}, {}, {}},
        // Case alone never merges two variables the data keeps apart.
        SimilarityCase{"TAndTAsTwoVariablesAreNotMerged", {"t"}, {"T", "t "}, {{"T", "temp"}}, {}},
        SimilarityCase{"TAndTAsTwoAvailableNamesAreNotMerged",
                       {"T", "t"},
                       {"temp"},
                       {{"T", "temp"}},
                       {{"T", {"temp", R::AliasGroup}}}},
        SimilarityCase{"AGroupLeadsOnlyToAVariableItNamesExactlyWhenCaseIsAmbiguous",
                       {"temperature"},
                       {"T", "t"},
                       {{"t", "temperature"}},
                       {{"temperature", {"t", R::AliasGroup}}}},
        // Ranking: the same form, then the group, then the unit, then one letter.
        SimilarityCase{"SameFormRanksAboveTheGroup",
                       {"temp"},
                       {"T", "TEMP"},
                       {{"T", "temp"}},
                       {{"temp", {"TEMP", R::OtherCase}}}},
        SimilarityCase{"GroupRanksAboveTheUnit",
                       {"temperature [K]"},
                       {"temperature", "T"},
                       {{"T", "temperature"}},
                       {{"temperature [K]", {"T", R::AliasGroup}}}},
        SimilarityCase{"UnitRanksAboveOneLetter",
                       {"pressure_hPa"},
                       {"pressures", "pressure"},
                       {},
                       {{"pressure_hPa", {"pressure", R::UnitRemoved}}}}),
    [](const ::testing::TestParamInfo<SimilarityCase>& info) { return std::string(info.param.name); });

TEST(VariableNameSimilarity, NormalisedFormsIgnoreCaseSeparatorsAndUnits) {
    EXPECT_EQ(normalisedVariableName(" Air_Temp-2.m "), "airtemp2m");
    EXPECT_EQ(normalisedWithoutUnit("temperature [K]"), "temperature");
    EXPECT_EQ(normalisedWithoutUnit("p (hPa)"), "p");
    EXPECT_EQ(normalisedWithoutUnit("depth_m"), "depth");
    EXPECT_EQ(normalisedWithoutUnit("x_coord"), "");
    EXPECT_EQ(normalisedWithoutUnit("[K]"), "") << "a unit alone names no variable";
}

} // namespace
