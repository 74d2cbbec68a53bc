#include "kernel/StyleStore.h"
#include "host/ArgList.h"
#include "host/KernelString.h"
#include "host/StateChangeEventObservable.h"
#include "host/StyleValue.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/StyleTestControl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace qelmar::standin;
using qelmar::toolbox::ArgList;
using qelmar::toolbox::StringList;
using qelmar::toolbox::StyleValue;

const StylePath widthPath{"Store", "Width"};
const StylePath modePath{"Store", "Mode"};
const StylePath scalePath{"Store", "Scale"};
const StylePath namePath{"Store", "Name"};
const StylePath visiblePath{"Store", "Visible"};

StyleValue styleValueOf(const StylePath& path) {
    StringList names;
    for (const auto& name : path)
        names.append(name);
    return StyleValue(names);
}

// Writes through the kernel's flat interface exactly as a caller outside the kernel does.
class Writer {
public:
    explicit Writer(const StylePath& path, StyleInstance instance = {})
        : m_value(styleValueOf(path))
        , m_instance(instance) {
        m_path = m_value.getIdentifiers();
        m_path.push_back(-1);
        m_value.setupSetValueArgList(m_path.data(), nullptr, instance.first, instance.second,
                                     StyleValue::assignOperator, m_args);
    }

    ArgList& args() { return m_args; }
    SetValueReturnCode_e set() { return m_value.setLowLevel(m_args); }

    std::string lastError() const {
        const qelmar::sdk::KernelString text(QelUtilStyleGetLastErrorString());
        return text.isNull() ? "<none>" : text.str();
    }

private:
    StyleValue m_value;
    StyleInstance m_instance;
    std::vector<long> m_path;
    ArgList m_args;
};

class StyleStoreTest : public ::testing::Test {
protected:
    StyleStoreTest() {
        styles.define(widthPath, StyleDefinition::integer(640, 1, 10000).withInstances(2, 2));
        styles.define(modePath,
                      StyleDefinition::enumeration(1, {1, 2, 4}).refusing(4L, "Mode 4 needs a licence."));
        styles.define(scalePath, StyleDefinition::real(1.0, 0.1, 10.0));
        styles.define(namePath, StyleDefinition::text("plot"));
        styles.define(visiblePath, StyleDefinition::boolean(true));
        m_stateChanges =
            qelmar::sdk::StateChangeEventObservable::getInstance().connectToStateChangeSignalUnique(
                [this](const qelmar::sdk::StateChangeEventInterface& event) {
                    kinds.push_back(event.kind());
                });
    }

    qelmar::standin::testing::KernelTestControl kernel;
    qelmar::standin::testing::StyleTestControl styles;
    std::vector<StateChange_e> kinds;

private:
    boost::signals2::scoped_connection m_stateChanges;
};

TEST_F(StyleStoreTest, AnAcceptedChangeIsAnnouncedOnceAndARepeatNotAtAll) {
    Writer first(widthPath);
    first.args().appendArbParam("IValue", 800);
    EXPECT_EQ(first.set(), SetValue_Ok);
    Writer again(widthPath);
    again.args().appendArbParam("IValue", 800);
    EXPECT_EQ(again.set(), SetValue_DuplicateValue);
    EXPECT_EQ(kinds, std::vector<StateChange_e>{StateChange_Style});
    EXPECT_EQ(styles.integerValue(widthPath), 800);
    EXPECT_EQ(styles.writeCount(widthPath), 2);
}

struct RefusedWrite {
    const char* scenario;
    StylePath path;
    std::function<void(ArgList&)> fill;
    SetValueReturnCode_e code;
    std::string messagePart;
};

class StyleStoreRefusalTest : public StyleStoreTest, public ::testing::WithParamInterface<RefusedWrite> {};

TEST_P(StyleStoreRefusalTest, RefusesWithACodeAndATextAndKeepsTheValue) {
    const RefusedWrite& refused = GetParam();
    const auto before = styles.value(refused.path);
    Writer writer(refused.path);
    refused.fill(writer.args());
    EXPECT_EQ(writer.set(), refused.code);
    EXPECT_NE(writer.lastError().find(refused.messagePart), std::string::npos) << writer.lastError();
    EXPECT_EQ(styles.value(refused.path), before);
    EXPECT_TRUE(kinds.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, StyleStoreRefusalTest,
    ::testing::Values(
        RefusedWrite{"AboveRange", widthPath, [](ArgList& a) { a.appendArbParam("IValue", 10001); },
                     SetValue_ValueOutOfRange, "between 1 and 10000"},
        RefusedWrite{"NotAChoice", modePath, [](ArgList& a) { a.appendArbParam("IValue", 3); },
                     SetValue_InvalidValue, "not one of the choices"},
        RefusedWrite{"RefusedChoice", modePath, [](ArgList& a) { a.appendArbParam("IValue", 4); },
                     SetValue_InvalidValue, "needs a licence"},
        RefusedWrite{"NaN", scalePath, [](ArgList& a) { a.appendDouble("DValue", std::nan("")); },
                     SetValue_ValueOutOfRange, "out of range"},
        RefusedWrite{"TextForNumber", scalePath, [](ArgList& a) { a.appendString("StrValue", "big"); },
                     SetValue_WrongValueType, "cannot take"},
        RefusedWrite{"UnknownName",
                     {"Store", "Nothing"},
                     [](ArgList& a) { a.appendArbParam("IValue", 1); },
                     SetValue_UnknownStyleName,
                     "Store Nothing"},
        RefusedWrite{"NoPath", namePath,
                     [](ArgList& a) {
                         a.clear();
                         a.appendString("StrValue", "x");
                     },
                     SetValue_UnknownStyleName, "no style value"}),
    [](const auto& info) { return std::string(info.param.scenario); });

TEST_F(StyleStoreTest, InstancesAreAddressedByBothOffsetsFromOne) {
    Writer writer(widthPath, {2, 1});
    writer.args().appendArbParam("IValue", 1024);
    EXPECT_EQ(writer.set(), SetValue_Ok);
    EXPECT_EQ(styles.integerValue(widthPath, {2, 1}), 1024);
    EXPECT_EQ(styles.integerValue(widthPath, {2, 2}), 640);
    EXPECT_EQ(styles.integerValue(widthPath), 640);

    Writer outside(widthPath, {3, 1});
    outside.args().appendArbParam("IValue", 1024);
    EXPECT_EQ(outside.set(), SetValue_InvalidOffset);
    Writer zero(widthPath, {0, 1});
    zero.args().appendArbParam("IValue", 1024);
    EXPECT_EQ(zero.set(), SetValue_InvalidOffset);
}

// Reals are read as whole numbers rounded, texts never as numbers.
TEST_F(StyleStoreTest, AReadIsRefusedOnlyWhenTheReceiverCannotHoldTheValue) {
    styles.setFromElsewhere(scalePath, 2.6);
    long number = 0;
    const StyleValue scale = styleValueOf(scalePath);
    std::vector<long> path = scale.getIdentifiers();
    path.push_back(-1);
    ArgList realAsNumber;
    scale.setupGetValueArgList(path.data(), -1, -1, realAsNumber);
    realAsNumber.appendArbParamPtr("IValue", &number);
    EXPECT_EQ(scale.getLowLevel(realAsNumber), GetValue_Ok);
    EXPECT_EQ(number, 3);

    const StyleValue name = styleValueOf(namePath);
    path = name.getIdentifiers();
    path.push_back(-1);
    ArgList textAsNumber;
    name.setupGetValueArgList(path.data(), -1, -1, textAsNumber);
    textAsNumber.appendArbParamPtr("IValue", &number);
    EXPECT_EQ(name.getLowLevel(textAsNumber), GetValue_ResultTypeError);
}

TEST_F(StyleStoreTest, SetWithExtraNamesAddressesTheLongerPath) {
    styles.define({"Store", "Preview", "Width"}, StyleDefinition::integer(64, 1, 512));
    const StyleValue preview = styleValueOf({"Store"});
    EXPECT_EQ(preview.set<int>(128, "Preview", "Width"), SetValue_Ok);
    EXPECT_EQ(styles.integerValue({"Store", "Preview", "Width"}), 128);
    EXPECT_EQ(preview.set<int>(128, "Preview", "Height"), SetValue_UnknownStyleName);
}

TEST_F(StyleStoreTest, ResetRestoresRegisteredDefaultsAndAnnouncesShutdown) {
    styles.setFromElsewhere(widthPath, 900L);
    styles.refuseWrites(modePath, std::nullopt);
    kinds.clear();
    kernel.reset();
    EXPECT_EQ(kinds, std::vector<StateChange_e>{StateChange_Shutdown});
    // Values a test defined itself are gone; registered ones would be back at their defaults.
    EXPECT_FALSE(StyleStore::instance().isDefined(widthPath));
}

TEST_F(StyleStoreTest, ARegistrarDefinesItsValuesAgainAfterEveryReset) {
    static int registrations = 0;
    static const StyleRegistrar registrar{[] {
        ++registrations;
        registerStyleValue({"Registered", "Flag"}, StyleDefinition::boolean(true));
    }};
    const int before = registrations;
    styles.setFromElsewhere({"Registered", "Flag"}, false);
    kernel.reset();
    EXPECT_EQ(registrations, before + 1);
    EXPECT_TRUE(styles.boolValue({"Registered", "Flag"}));
}

} // namespace
