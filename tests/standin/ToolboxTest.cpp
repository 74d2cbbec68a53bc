#include "host/ArgList.h"
#include "host/CheckedStyleValue.h"
#include "host/StringList.h"
#include "kernel/ArgListData.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/StyleTestControl.h"

#include <gtest/gtest.h>

namespace {

using qelmar::toolbox::ArgList;
using qelmar::toolbox::CheckedStyleValue;
using qelmar::toolbox::StringList;
using qelmar::toolbox::StyleValue;

TEST(ToolboxStringList, IndexesFromZeroReachKernelPositionsFromOne) {
    StringList list{"first", "second"};
    EXPECT_STREQ(QelUtilStringListGetRawStringPtr(list.getRef(), 1), "first");
    EXPECT_STREQ(list[0], "first");
    EXPECT_EQ(list.get(1), "second");
    EXPECT_EQ(list[2], nullptr);
    EXPECT_EQ(list.get(-1), "");

    ASSERT_TRUE(list.insert(0, "zeroth"));
    ASSERT_TRUE(list.set(2, "last"));
    list.remove(1);
    EXPECT_EQ(list.toNLString(), "zeroth\nlast");
}

TEST(ToolboxStringList, CopiesAreIndependentAndMovesLeaveAnEmptyList) {
    StringList original{"a"};
    StringList copy(original);
    copy.append("b");
    EXPECT_EQ(original.size(), 1);
    EXPECT_EQ(copy.size(), 2);
    EXPECT_NE(original, copy);

    StringList moved(std::move(copy));
    EXPECT_EQ(moved.size(), 2);
    // A moved-from list is empty and usable.
    EXPECT_EQ(copy.size(), 0);
    copy.append("again");
    EXPECT_EQ(copy.get(0), "again");

    copy = moved;
    EXPECT_EQ(copy, moved);
    copy.append(copy);
    EXPECT_EQ(copy.toNLString(), "a\nb\na\nb");
}

TEST(ToolboxStringList, ConvertsToAndFromLineFeedSeparatedText) {
    const StringList list = StringList::fromNLString("x\n\ny");
    EXPECT_EQ(list.size(), 3);
    EXPECT_EQ(list.get(1), "");
    StringList adopted(QelUtilStringListCopy(list.getRef()));
    StringList_s* released = adopted.release();
    EXPECT_EQ(QelUtilStringListGetCount(released), 3);
    QelUtilStringListDealloc(&released);
}

TEST(ToolboxArgList, KernelReadsTypedEntriesByKeyInOrder) {
    long receivedValue = 0;
    ArgList args;
    EXPECT_TRUE(args.appendString("FName", "/tmp/a.lay"));
    EXPECT_TRUE(args.appendArbParam("IncludeData", 1));
    EXPECT_TRUE(args.appendInt("Count", 3));
    EXPECT_TRUE(args.appendDouble("Scale", 2.5));
    EXPECT_TRUE(args.appendStringList("Names", StringList{"p", "q"}));
    EXPECT_TRUE(args.appendArbParamPtr("Result", &receivedValue));
    EXPECT_FALSE(args.appendInt("Count", 4));
    EXPECT_FALSE(args.appendArbParamPtr("Missing", nullptr));
    EXPECT_EQ(args.size(), 6);

    const ArgList_s& data = *args.getRef();
    EXPECT_EQ(data.entries.front().key, "FName");
    EXPECT_EQ(data.findString("FName"), "/tmp/a.lay");
    EXPECT_EQ(data.findBool("IncludeData"), true);
    EXPECT_EQ(data.findInt("Count"), 3);
    EXPECT_EQ(data.findDouble("Scale"), 2.5);
    EXPECT_EQ(data.findInt("FName"), std::nullopt);
    EXPECT_EQ(data.findString("Absent"), std::nullopt);
    ASSERT_NE(data.findStringList("Names"), nullptr);
    EXPECT_EQ(*data.findStringList("Names"), (std::vector<std::string>{"p", "q"}));
    *data.findIntReceiver("Result") = 9;
    EXPECT_EQ(receivedValue, 9);
}

// An argument list that was never set up must not reach the kernel.
TEST(ToolboxCheckedStyleValue, AnIncompleteArgumentListIsAnsweredWithoutTheKernel) {
    qelmar::standin::testing::KernelTestControl kernel;
    qelmar::standin::testing::CallRecording recording;
    qelmar::standin::testing::StyleTestControl styles;
    styles.define({"Checked", "Value"}, qelmar::standin::StyleDefinition::integer(1, 0, 9));
    const CheckedStyleValue value(StyleValue(StringList{"Checked", "Value"}));
    kernel.clearJournal();

    long received = 0;
    ArgList notSetUp;
    notSetUp.appendArbParamPtr("IValue", &received);
    EXPECT_EQ(value.styleGetLowLevel(notSetUp), GetValue_SyntaxError);

    std::vector<long> path = value.getIdentifiers();
    path.push_back(-1);
    ArgList withoutValue;
    value.setupSetValueArgList(path.data(), nullptr, -1, -1, StyleValue::assignOperator, withoutValue);
    EXPECT_EQ(value.styleSetLowLevel(withoutValue), SetValue_InvalidCommandOption);
    EXPECT_FALSE(kernel.wasCalled("QelUtilStyleGetLowLevelX"));
    EXPECT_FALSE(kernel.wasCalled("QelUtilStyleSetLowLevelX"));

    withoutValue.appendArbParam("IValue", 4);
    EXPECT_EQ(value.styleSetLowLevel(withoutValue), SetValue_Ok);
    EXPECT_EQ(styles.integerValue({"Checked", "Value"}), 4);
}

} // namespace
