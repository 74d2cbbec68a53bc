#include "StylePropertyFixture.h"

#include "host/UIKernelStylePropertiesAbstract.h"
#include "propertyframework/Property.h"
#include "styleproperties/KernelStylePropertySet.h"

// clang-format off
#define QELMAR_EXAMPLE_STYLE_PROPERTIES(X) \
    X(long, count, setCount, "Test", "Count") \
    X(bool, flag, setFlag, "Test", "Flag") \
    X(std::string, title, setTitle, "Test", "Title")
// clang-format on

namespace qelmar::sdk::styleproperties::test {

using ui::propertymanager::UIKernelStylePropertiesAbstract;

// A set written the way the generated sets are: one table line per style value.
class ExampleProperties : public UIKernelStylePropertiesAbstract {
public:
    ExampleProperties(bool modal, toolbox::StringList basePath)
        : UIKernelStylePropertiesAbstract(modal, nullptr)
        , m_basePath(std::move(basePath)) {}
    ExampleProperties(UIKernelStylePropertiesAbstract* parent, toolbox::StringList basePath)
        : UIKernelStylePropertiesAbstract(parent->isModal(), parent)
        , m_basePath(std::move(basePath)) {}

    QELMAR_STYLE_PROPERTY_SET_OPERATIONS
    QELMAR_EXAMPLE_STYLE_PROPERTIES(QELMAR_STYLE_PROPERTY_ACCESSORS)

private:
    QELMAR_STYLE_PROPERTY_SET_MEMBERS(QELMAR_EXAMPLE_STYLE_PROPERTIES)
};

// Stands for a decorator a manager installs over a kernel property.
class ForwardingProperty : public PropertyAbstract<long> {
public:
    explicit ForwardingProperty(PropertyPtr<long> inner)
        : m_inner(std::move(inner)) {}
    long retrieveValue() const override { return m_inner->retrieveValue(); }

protected:
    void storeValue(const long& value) override { m_inner->setValue(value); }

private:
    PropertyPtr<long> m_inner;
};

class KernelStylePropertiesSetTest : public StylePropertyTest {
protected:
    void countSubmissions(ExampleProperties& set) {
        m_connections.add(set.connectToSubmittedSignal([this] { ++m_submitted; }));
    }
    int m_submitted = 0;
    SignalConnectionCollection m_connections;
};

TEST_F(KernelStylePropertiesSetTest, AModalSetWritesOnlyWhenSubmitted) {
    ExampleProperties set(true, {});
    countSubmissions(set);
    set.count()->setValue(12);
    set.flag()->setValue(true);
    EXPECT_EQ(styles.integerValue(countPath), 5);
    EXPECT_FALSE(styles.boolValue(flagPath));

    set.submit();
    EXPECT_EQ(styles.integerValue(countPath), 12);
    EXPECT_TRUE(styles.boolValue(flagPath));
    EXPECT_EQ(m_submitted, 1);
}

TEST_F(KernelStylePropertiesSetTest, AModelessSetWritesAtOnce) {
    ExampleProperties set(false, {});
    set.count()->setValue(12);
    EXPECT_EQ(styles.integerValue(countPath), 12);
    set.submit();
    EXPECT_EQ(styles.writeCount(countPath), 1);
}

TEST_F(KernelStylePropertiesSetTest, ARefusalEndsTheSubmissionAndPassesOut) {
    ExampleProperties set(true, {});
    countSubmissions(set);
    styles.refuseWrites(countPath, std::string("Locked."));
    set.count()->setValue(12);
    set.flag()->setValue(true);
    EXPECT_THROW(set.submit(), InvalidPropertyValueException);
    EXPECT_FALSE(styles.boolValue(flagPath));
    EXPECT_EQ(m_submitted, 0);
}

TEST_F(KernelStylePropertiesSetTest, AReplacedPropertyIsWhatReadersSeeWhileSubmittingActsBeneath) {
    ExampleProperties set(true, {});
    const PropertyPtr<long> original = set.count();
    set.setCount(std::make_shared<ForwardingProperty>(original));
    EXPECT_NE(set.count(), original);

    set.count()->setValue(12);
    set.submit();
    EXPECT_EQ(styles.integerValue(countPath), 12);
}

TEST_F(KernelStylePropertiesSetTest, TheCollectionOffsetSelectsTheInstanceOfEveryProperty) {
    styles.setFromElsewhere(countPath, 30L, {2, -1});
    ExampleProperties set(true, {});
    set.setCollectionOffset(2);
    EXPECT_EQ(set.collectionOffset(), 2);
    EXPECT_EQ(set.count()->retrieveValue(), 30);

    set.count()->setValue(31);
    set.submit();
    EXPECT_EQ(styles.integerValue(countPath, {2, -1}), 31);
}

TEST_F(KernelStylePropertiesSetTest, ANestedSetFollowsItsParentsModeAndSubmission) {
    styles.define({"Outer", "Test", "Count"}, StyleDefinition::integer(1, 0, 10));
    ExampleProperties parent(true, {});
    ExampleProperties nested(&parent, {"Outer"});
    EXPECT_TRUE(nested.isModal());
    EXPECT_EQ(nested.parent(), &parent);

    nested.count()->setValue(4);
    EXPECT_EQ(styles.integerValue({"Outer", "Test", "Count"}), 1);
    parent.submit();
    EXPECT_EQ(styles.integerValue({"Outer", "Test", "Count"}), 4);
    EXPECT_EQ(styles.integerValue(countPath), 5);
}

// Every property addresses its style value below the base path, and submitting walks the
// table in order: a refusal in the middle keeps the later values pending.
TEST_F(KernelStylePropertiesSetTest, ExamplePropertiesLiveBelowTheBasePathAndSubmitInTableOrder) {
    styles.define({"Outer", "Test", "Count"}, StyleDefinition::integer(7, 0, 100));
    styles.define({"Outer", "Test", "Flag"}, StyleDefinition::boolean(true));
    styles.define({"Outer", "Test", "Title"}, StyleDefinition::text("outer"));
    ExampleProperties set(true, {"Outer"});
    EXPECT_EQ(set.count()->retrieveValue(), 7);
    EXPECT_TRUE(set.flag()->retrieveValue());
    EXPECT_EQ(set.title()->retrieveValue(), "outer");

    styles.refuseWrites({"Outer", "Test", "Flag"}, std::string("Locked."));
    set.count()->setValue(8);
    set.flag()->setValue(false);
    set.title()->setValue("changed");
    EXPECT_THROW(set.submitProperties(), InvalidPropertyValueException);
    EXPECT_EQ(styles.integerValue({"Outer", "Test", "Count"}), 8);
    EXPECT_EQ(styles.textValue({"Outer", "Test", "Title"}), "outer");
    EXPECT_EQ(styles.integerValue(countPath), 5);
}

TEST_F(KernelStylePropertiesSetTest, AReplacedTablePropertyIsShownWhileTheKernelPropertyIsSubmitted) {
    ExampleProperties set(true, {});
    const PropertyPtr<long> kernelBacked = set.count();
    kernelBacked->setValue(40);
    set.setCount(std::make_shared<Property<long>>(3));
    EXPECT_EQ(set.count()->retrieveValue(), 3);

    set.setOffset(2, -1);
    EXPECT_EQ(kernelBacked->retrieveValue(), 5);
    kernelBacked->setValue(41);
    set.submitProperties();
    EXPECT_EQ(styles.integerValue(countPath, {2, -1}), 41);
    EXPECT_EQ(styles.integerValue(countPath), 5);
}

} // namespace qelmar::sdk::styleproperties::test
