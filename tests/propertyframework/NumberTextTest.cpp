#include "propertyframework/NumberText.h"
#include "common/ScopedCommaDecimalLocale.h"
#include "propertyframework/BoundedValueValidator.h"
#include "propertyframework/Property.h"
#include "propertyframework/PropertyTypeAdapter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <locale>
#include <memory>
#include <sstream>
#include <string>

using namespace qelmar;
using testsupport::ScopedCommaDecimalLocale;

namespace {

std::string classicStreamText(double value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

} // namespace

TEST(NumberTextTest, FormatsLikeAClassicStreamUnderACommaLocale) {
    const ScopedCommaDecimalLocale comma;
    for (double value : {0.1, -2.5, 1234567.0, 1e-5, 100000.0, 0.0, 3.0, 1.0 / 3.0,
                         std::numeric_limits<double>::infinity(), std::nan("")})
        EXPECT_EQ(formatNumber(value), classicStreamText(value)) << classicStreamText(value);
    EXPECT_EQ(formatNumber(0.1), "0.1");
    EXPECT_EQ(formatNumber(1234567.0), "1.23457e+06");
    EXPECT_EQ(formatNumber(1234567L), "1234567");
    EXPECT_EQ(formatNumber(-42), "-42");
}

TEST(NumberTextTest, ReadsTheNumberAtTheStartOnly) {
    const ScopedCommaDecimalLocale comma;
    EXPECT_EQ(parseLeadingNumber<long>("-2.5"), -2L);
    EXPECT_EQ(parseLeadingNumber<long>("1e+06"), 1L);
    EXPECT_EQ(parseLeadingNumber<long>("+7 apples"), 7L);
    EXPECT_EQ(parseLeadingNumber<double>("0.25x"), 0.25);
    // A comma is not a decimal point here, whatever the global locale says.
    EXPECT_EQ(parseLeadingNumber<double>("0,25"), 0.0);

    EXPECT_FALSE(parseLeadingNumber<long>(" 5"));
    EXPECT_FALSE(parseLeadingNumber<long>(""));
    EXPECT_FALSE(parseLeadingNumber<long>("+"));
    EXPECT_FALSE(parseLeadingNumber<long>("+-5"));
    EXPECT_FALSE(parseLeadingNumber<long>("inf"));
    EXPECT_FALSE(parseLeadingNumber<int>("2147483648"));
    EXPECT_FALSE(parseLeadingNumber<double>("1e999"));

    EXPECT_EQ(parseWholeNumber<double>("1e3"), 1000.0);
    EXPECT_EQ(parseWholeNumber<double>("-Infinity"), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(*parseWholeNumber<double>("NaN")));
    EXPECT_FALSE(parseWholeNumber<double>("1.5 "));
    EXPECT_FALSE(parseWholeNumber<double>("0,5"));

    const auto prefix = parseNumberPrefix<double>("12.5cm");
    ASSERT_TRUE(prefix);
    EXPECT_EQ(prefix->length, 4u);
}

// A host that installs a decimal-comma locale must not make the adapters refuse their own text.
TEST(NumberTextTest, AdaptersReadBackWhatTheyWroteUnderACommaLocale) {
    const ScopedCommaDecimalLocale comma;

    auto real = std::make_shared<Property<double>>(0.1);
    PropertyTypeAdapter<std::string, double> text(real);
    EXPECT_EQ(text.retrieveValue(), "0.1");
    text.setValue("2.5");
    EXPECT_EQ(real->retrieveValue(), 2.5);
    real->setValue(1234.5);
    const std::string written = text.retrieveValue();
    EXPECT_EQ(written, "1234.5");
    real->setValue(0.0);
    text.setValue(written);
    EXPECT_EQ(real->retrieveValue(), 1234.5);
    EXPECT_TRUE(text.validator()->validate("0.75").isValid());
    EXPECT_FALSE(text.validator()->validate("0,75").isValid());

    auto measure = std::make_shared<Property<double>>(-2.5);
    PropertyTypeAdapter<long, double> whole(measure);
    EXPECT_EQ(whole.retrieveValue(), -2);

    const BoundedValueValidator<double> bounds(0.5, 1234567.0);
    EXPECT_EQ(bounds.validate(0.25).errorString(),
              "The value must be greater than or equal to 0.5 and less than or equal to 1.23457e+06.");
}
