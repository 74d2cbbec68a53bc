#include "StylePropertyFixture.h"

#include "host/UIKernelStylePropertiesAbstract.h"
#include "propertyframework/Property.h"
#include "propertyframework/styleproperties/KernelStylePropertyTable.h"

namespace qelmar::sdk::styleproperties::test {

using ui::propertymanager::UIKernelStylePropertiesAbstract;

// How a generated set is written: one entry per style value, in declaration order.
class ExampleProperties : public UIKernelStylePropertiesAbstract {
public:
    ExampleProperties(bool modal, toolbox::StringList basePath)
        : UIKernelStylePropertiesAbstract(modal, nullptr)
        , m_basePath(std::move(basePath)) {}
    ExampleProperties(UIKernelStylePropertiesAbstract* parent, toolbox::StringList basePath)
        : UIKernelStylePropertiesAbstract(parent->isModal(), parent)
        , m_basePath(std::move(basePath)) {}

    void submitProperties() override { m_table.applyAll(); }
    void setOffset(int first, int second) override { m_table.setOffsets(first, second); }

    virtual PropertyPtr<long> count() const { return m_count.get(); }
    virtual void setCount(PropertyPtr<long> property) { m_count.set(std::move(property)); }
    virtual PropertyPtr<bool> flag() const { return m_flag.get(); }
    virtual void setFlag(PropertyPtr<bool> property) { m_flag.set(std::move(property)); }

private:
    toolbox::StringList m_basePath;
    KernelStylePropertyTable m_table;
    KernelStylePropertyEntry<long> m_count{m_table, isModal(), m_basePath, {"Test", "Count"}};
    KernelStylePropertyEntry<bool> m_flag{m_table, isModal(), m_basePath, {"Test", "Flag"}};
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

} // namespace qelmar::sdk::styleproperties::test
