#include "StylePropertyFixture.h"

#include "host/UIKernelStylePropertiesAbstract.h"
#include "propertyframework/Property.h"
#include "propertyframework/styleproperties/KernelStylePropertySet.h"

// clang-format off
#define QELMAR_TEST_STYLE_PROPERTIES(X) \
    X(long, Count, setCount, "Test", "Count") \
    X(bool, Flag, setFlag, "Test", "Flag") \
    X(std::string, Title, setTitle, "Test", "Title")
// clang-format on

namespace qelmar::sdk::styleproperties::test {

using ui::propertymanager::UIKernelStylePropertiesAbstract;

// A set expanded from a table, the way the generated sets are written.
class TableProperties : public UIKernelStylePropertiesAbstract {
public:
    TableProperties(bool modal, toolbox::StringList basePath)
        : UIKernelStylePropertiesAbstract(modal, nullptr)
        , m_basePath(std::move(basePath)) {}

    QELMAR_STYLE_PROPERTY_SET_OPERATIONS
    QELMAR_TEST_STYLE_PROPERTIES(QELMAR_STYLE_PROPERTY_ACCESSORS)

private:
    QELMAR_STYLE_PROPERTY_SET_MEMBERS(QELMAR_TEST_STYLE_PROPERTIES)
};

class KernelStylePropertySetTest : public StylePropertyTest {};

// Every property addresses its style value below the base path, and submitting walks the
// table in order: a refusal in the middle keeps the later values pending.
TEST_F(KernelStylePropertySetTest, TablePropertiesLiveBelowTheBasePathAndSubmitInTableOrder) {
    styles.define({"Outer", "Test", "Count"}, StyleDefinition::integer(7, 0, 100));
    styles.define({"Outer", "Test", "Flag"}, StyleDefinition::boolean(true));
    styles.define({"Outer", "Test", "Title"}, StyleDefinition::text("outer"));
    TableProperties set(true, {"Outer"});
    EXPECT_EQ(set.Count()->retrieveValue(), 7);
    EXPECT_TRUE(set.Flag()->retrieveValue());
    EXPECT_EQ(set.Title()->retrieveValue(), "outer");

    styles.refuseWrites({"Outer", "Test", "Flag"}, std::string("Locked."));
    set.Count()->setValue(8);
    set.Flag()->setValue(false);
    set.Title()->setValue("changed");
    EXPECT_THROW(set.submitProperties(), InvalidPropertyValueException);
    EXPECT_EQ(styles.integerValue({"Outer", "Test", "Count"}), 8);
    EXPECT_EQ(styles.textValue({"Outer", "Test", "Title"}), "outer");
    EXPECT_EQ(styles.integerValue(countPath), 5);
}

TEST_F(KernelStylePropertySetTest, AReplacedTablePropertyIsShownWhileTheKernelPropertyIsSubmitted) {
    TableProperties set(true, {});
    const PropertyPtr<long> kernelBacked = set.Count();
    kernelBacked->setValue(40);
    set.setCount(std::make_shared<Property<long>>(3));
    EXPECT_EQ(set.Count()->retrieveValue(), 3);

    set.setOffset(2, -1);
    EXPECT_EQ(kernelBacked->retrieveValue(), 5);
    kernelBacked->setValue(41);
    set.submitProperties();
    EXPECT_EQ(styles.integerValue(countPath, {2, -1}), 41);
    EXPECT_EQ(styles.integerValue(countPath), 5);
}

} // namespace qelmar::sdk::styleproperties::test
