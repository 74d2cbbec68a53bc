#include "postload/VariableAliasesApplier.h"

#include "host/StringList.h"
#include "kernel/testing/KernelTestControl.h"

#include <gtest/gtest.h>

using qelmar::sdk::ui::postload::VariableAliasesApplier;
using qelmar::standin::testing::KernelTestControl;
using qelmar::toolbox::StringList;

namespace {

std::vector<std::string> entries(const StringList& list) {
    std::vector<std::string> texts;
    for (long index = 0; index < list.size(); ++index)
        texts.push_back(list.get(index));
    return texts;
}

// The to-load offsets a file counts as filled: a name of that entry offered by the file is
// refused.
std::set<int> filledEntries(VariableAliasesApplier& applier, const StringList& toLoad) {
    std::set<int> filled;
    for (long index = 0; index < toLoad.size(); ++index) {
        StringList selection{toLoad[index]};
        if (!applier.selectedVariablesCanBeAliased({}, toLoad.getRef(), {selection.getRef()}))
            filled.insert(static_cast<int>(index));
    }
    return filled;
}

TEST(VariableAliasesApplierTest, AttachesNamesOnlyToEntriesTheirFileDoesNotFillYet) {
    KernelTestControl kernel;
    StringList existing{"B", "D"};
    StringList file1{"B", "X"};
    StringList file2{"A", "D"};
    VariableAliasesApplier applier;
    applier.init(existing.getRef(), {file1.getRef(), file2.getRef()});

    StringList toLoad{"B", "D"};
    // File 1 fills B already; of its two names for D only the first is attached.
    StringList available1{" b ", "d", "D\t"};
    // The first group holding A has no member in the list, the second leads A to B.
    StringList available2{"A"};
    StringList noMember{"Q", "A"};
    StringList aToB{"A", "B"};
    const auto attached = applier.apply({noMember.getRef(), aToB.getRef()}, toLoad.getRef(),
                                        {available1.getRef(), available2.getRef()});

    EXPECT_EQ(attached, (std::set<std::string>{"d", "A"}));
    EXPECT_EQ(entries(toLoad), (std::vector<std::string>{"B\nA", "D\nd"}));
    EXPECT_EQ(entries(available1), (std::vector<std::string>{"b", "D"}));
    EXPECT_TRUE(entries(available2).empty());

    // File 2 now fills B through A, so a further alias of B stays available.
    StringList moreOfFile2{"AA"};
    StringList aaToB{"AA", "B"};
    EXPECT_TRUE(
        applier.apply({aaToB.getRef()}, toLoad.getRef(), {StringList().getRef(), moreOfFile2.getRef()})
            .empty());
    EXPECT_EQ(entries(moreOfFile2), (std::vector<std::string>{"AA"}));
    EXPECT_TRUE(kernel.messages().empty());
}

TEST(VariableAliasesApplierTest, SelectionPassesOnlyWhenEveryNameLeadsToAnOpenEntry) {
    KernelTestControl kernel;
    StringList existing{"B", "D"};
    StringList file1{"B"};
    VariableAliasesApplier applier;
    applier.init(existing.getRef(), {file1.getRef()});
    StringList toLoad{"B", "D"};
    StringList group{"Dee", "D"};

    EXPECT_TRUE(applier.selectedVariablesCanBeAliased({}, toLoad.getRef(), {}));
    StringList resolvable{"dee"};
    EXPECT_TRUE(
        applier.selectedVariablesCanBeAliased({group.getRef()}, toLoad.getRef(), {resolvable.getRef()}));
    StringList oneUnknown{"dee", "nowhere"};
    EXPECT_FALSE(
        applier.selectedVariablesCanBeAliased({group.getRef()}, toLoad.getRef(), {oneUnknown.getRef()}));
    StringList filled{"b"};
    EXPECT_FALSE(applier.selectedVariablesCanBeAliased({}, toLoad.getRef(), {filled.getRef()}));
}

TEST(VariableAliasesApplierTest, UnresolvingShiftsOnlyPastRemovedAddedEntries) {
    KernelTestControl kernel;
    StringList existing{"E0", "E1", "E2"};
    StringList file{"E0", "E1"};
    StringList toLoad{"E0", "E1", "E2", "N3", "N4", "N5"};
    const struct {
        std::set<int> removed;
        std::set<int> expected;
    } cases[] = {
        {{1, 3}, {0, 3, 4}},
        {{1}, {0, 3, 4, 5}},
        {{0, 1, 2}, {3, 4, 5}},
    };
    for (const auto& test : cases) {
        VariableAliasesApplier applier;
        applier.init(existing.getRef(), {file.getRef()});
        for (int added = 3; added <= 5; ++added)
            applier.markAsResolved(added);
        ASSERT_EQ(filledEntries(applier, toLoad), (std::set<int>{0, 1, 3, 4, 5}));
        applier.markAsUnresolved(test.removed);
        EXPECT_EQ(filledEntries(applier, toLoad), test.expected) << "removed " << test.removed.size();
    }
}

} // namespace
