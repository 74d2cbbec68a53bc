#include "postload/VariableAliasesApplier.h"

#include "host/StringList.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"

#include <gtest/gtest.h>

using qelmar::sdk::ui::postload::VariableAliasesApplier;
using qelmar::standin::testing::KernelTestControl;
using qelmar::toolbox::StringList;

namespace {

using Texts = std::vector<std::string>;

Texts texts(const StringList& list) {
    Texts result;
    for (long index = 0; index < list.size(); ++index)
        result.push_back(list.get(index));
    return result;
}

class VariableAliasesApplierTest : public ::testing::Test {
protected:
    // The to-load entries a file fills: a selection of an entry's own name is refused.
    std::set<int> filledEntries(const StringList& toLoad) {
        std::set<int> filled;
        for (long index = 0; index < toLoad.size(); ++index) {
            StringList selection{toLoad[index]};
            if (!applier.selectedVariablesCanBeAliased({}, toLoad.getRef(), {selection.getRef()}))
                filled.insert(static_cast<int>(index));
        }
        return filled;
    }

    KernelTestControl kernel;
    VariableAliasesApplier applier;
};

TEST_F(VariableAliasesApplierTest, AttachesNamesOnlyToEntriesTheirFileDoesNotFillYet) {
    StringList existing{"B", "D"}, file1{"B", "X"}, file2{"A", "D"};
    applier.init(existing.getRef(), {file1.getRef(), file2.getRef()});
    StringList toLoad{"B", "D"};
    // File 1 fills B already; of its two names for D only the first is attached.
    StringList available1{" b ", "d", "D\t"}, available2{"A"};
    // The first group holding A has no member in the list; the second leads A to B.
    StringList noMember{"Q", "A"}, aToB{"A", "B"};
    const auto attached = applier.apply({noMember.getRef(), aToB.getRef()}, toLoad.getRef(),
                                        {available1.getRef(), available2.getRef()});

    EXPECT_EQ(attached, (std::set<std::string>{"d", "A"}));
    EXPECT_EQ(texts(toLoad), (Texts{"B\nA", "D\nd"}));
    EXPECT_EQ(texts(available1), (Texts{"b", "D"}));
    EXPECT_EQ(texts(available2), Texts{});

    // File 2 now fills B through A, so a further alias of B stays available.
    StringList none, moreOfFile2{"AA"}, aaToB{"AA", "B"};
    EXPECT_TRUE(
        applier.apply({aaToB.getRef()}, toLoad.getRef(), {none.getRef(), moreOfFile2.getRef()}).empty());
    EXPECT_EQ(texts(moreOfFile2), Texts{"AA"});

    // A selection passes only when every name leads to an entry its file leaves open.
    toLoad.append("Z");
    StringList zedToZ{"zed", "Z"}, viaGroup{"ZED"}, oneUnknown{"z", "nowhere"};
    EXPECT_TRUE(
        applier.selectedVariablesCanBeAliased({zedToZ.getRef()}, toLoad.getRef(), {viaGroup.getRef()}));
    EXPECT_FALSE(
        applier.selectedVariablesCanBeAliased({}, toLoad.getRef(), {none.getRef(), oneUnknown.getRef()}));
    EXPECT_TRUE(applier.selectedVariablesCanBeAliased({}, toLoad.getRef(), {}));
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(VariableAliasesApplierTest, UnresolvingShiftsOnlyPastRemovedAddedEntries) {
    StringList existing{"E0", "E1", "E2"}, file{"E0", "E1"};
    StringList toLoad{"E0", "E1", "E2", "N3", "N4", "N5"};
    const std::pair<std::set<int>, std::set<int>> cases[] = {
        {{1, 3}, {0, 3, 4}},
        {{1}, {0, 3, 4, 5}},
        {{0, 1, 2}, {3, 4, 5}},
    };
    for (const auto& [removed, expected] : cases) {
        applier.init(existing.getRef(), {file.getRef()});
        for (int added = 3; added <= 5; ++added)
            applier.markAsResolved(added);
        ASSERT_EQ(filledEntries(toLoad), (std::set<int>{0, 1, 3, 4, 5}));
        applier.markAsUnresolved(removed);
        EXPECT_EQ(filledEntries(toLoad), expected) << "first removed " << *removed.begin();
    }
}

} // namespace

namespace {

// Groups are looked up by a folded key first; the kernel's own matching (blanks around a name,
// letter case also outside ASCII, LF-separated names of one member) must still decide.
TEST_F(VariableAliasesApplierTest, GroupsHoldNamesWhateverTheirCaseBlanksOrPlaceInAMember) {
    StringList existing{"Temp", "P"}, file{"x"};
    applier.init(existing.getRef(), {file.getRef()});
    StringList toLoad{"Temp", "P"};
    StringList available{"  TEMPÉRATURE ", "druck", "elsewhere"};
    StringList toTemp{"température", "Temp"}, toPressure{"Pressure\nDRUCK", "P"}, unrelated{"other", "P"};
    const auto attached = applier.apply({unrelated.getRef(), toTemp.getRef(), toPressure.getRef()},
                                        toLoad.getRef(), {available.getRef()});

    EXPECT_EQ(attached, (std::set<std::string>{"TEMPÉRATURE", "druck"}));
    EXPECT_EQ(texts(toLoad), (Texts{"Temp\nTEMPÉRATURE", "P\ndruck"}));
    EXPECT_EQ(texts(available), Texts{"elsewhere"});
}

// An aliases file written for large files has a group per variable. Each name must be compared
// with the groups that may hold it, not with every group: the kernel lookups grow with the names.
TEST_F(VariableAliasesApplierTest, LookupsGrowWithTheNamesNotWithNamesTimesGroups) {
    constexpr int variables = 300;
    StringList existing, file, available;
    std::vector<StringList> groups(variables);
    std::vector<StringList_s*> groupHandles;
    for (int k = 0; k < variables; ++k) {
        existing.append("D" + std::to_string(k));
        file.append("F" + std::to_string(k));
        available.append("F" + std::to_string(k));
        groups[k] = StringList{("D" + std::to_string(k)).c_str(), ("F" + std::to_string(k)).c_str()};
        groupHandles.push_back(groups[k].getRef());
    }
    applier.init(existing.getRef(), {file.getRef()});
    StringList toLoad(existing);

    const qelmar::standin::testing::CallRecording recording;
    const auto attached = applier.apply(groupHandles, toLoad.getRef(), {available.getRef()});

    EXPECT_EQ(attached.size(), static_cast<std::size_t>(variables));
    EXPECT_EQ(toLoad[variables - 1],
              "D" + std::to_string(variables - 1) + "\nF" + std::to_string(variables - 1));
    EXPECT_LT(kernel.callsNamed("QelAppVarNameListGetVarOffset").size(), 10u * variables);
}

} // namespace
