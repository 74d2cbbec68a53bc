#include "postload/VariableAliasesApplier.h"

#include "host/StringList.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"

#include "host/KernelStrings.h"
#include "host/KernelVarNames.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <map>

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

namespace {

// Aliases files for many files tie each variable to a name in every file: a group has a member
// per file. Asking every such group about each of its members for every file grew with the files
// squared; each name must cost only the groups that may hold it.
TEST_F(VariableAliasesApplierTest, LookupsGrowWithTheFilesNotWithTheirSquare) {
    constexpr int variables = 40;
    const auto lookupsApplying = [this](int fileCount) {
        StringList existing;
        std::vector<StringList> files(static_cast<std::size_t>(fileCount)), groups(variables);
        for (int k = 0; k < variables; ++k) {
            existing.append("D" + std::to_string(k));
            groups[k].append("D" + std::to_string(k));
            for (int file = 0; file < fileCount; ++file) {
                const std::string name = "F" + std::to_string(file) + "_" + std::to_string(k);
                files[static_cast<std::size_t>(file)].append(name);
                groups[k].append(name);
            }
        }
        std::vector<StringList_s*> fileHandles, groupHandles;
        for (const StringList& file : files)
            fileHandles.push_back(file.getRef());
        for (const StringList& group : groups)
            groupHandles.push_back(group.getRef());
        applier.init(existing.getRef(), fileHandles);
        StringList toLoad(existing);
        const std::vector<StringList> available(files);
        std::vector<StringList_s*> availableHandles;
        for (const StringList& list : available)
            availableHandles.push_back(list.getRef());

        const qelmar::standin::testing::CallRecording recording;
        EXPECT_EQ(applier.apply(groupHandles, toLoad.getRef(), availableHandles).size(),
                  static_cast<std::size_t>(variables * fileCount));
        return kernel.callsNamed("QelAppVarNameListGetVarOffset").size();
    };
    const std::size_t few = lookupsApplying(6);
    const std::size_t many = lookupsApplying(12);
    EXPECT_LE(many, few * 22 / 10) << few << " then " << many;
}

// The applier as plainly as it can be written: for every name, every group in order.
class ReferenceApplier {
public:
    ReferenceApplier(const StringList& existing, const std::vector<StringList>& files) {
        for (const StringList& file : files) {
            std::vector<int> offsets;
            std::map<int, int> namesPer;
            for (long i = 0; i < file.size(); ++i) {
                offsets.push_back(file[i] ? QelAppVarNameListGetVarOffset(existing.getRef(), file[i]) : -1);
                ++namesPer[offsets.back()];
            }
            std::set<int> resolved;
            for (long i = 0; i < file.size(); ++i) {
                const int offset = offsets[static_cast<std::size_t>(i)];
                if (offset != -1 &&
                    (namesPer[offset] == 1 || holdsExactly(existing.get(offset), file.get(i))))
                    resolved.insert(offset);
            }
            m_resolved.push_back(resolved);
        }
    }

    std::set<std::string> apply(const std::vector<StringList_s*>& groups, StringList& toLoad,
                                std::vector<StringList>& available) {
        std::set<std::string> attached;
        for (std::size_t file = 0; file < available.size(); ++file) {
            Texts unresolved;
            for (long i = 0; i < available[file].size(); ++i) {
                if (!available[file][i])
                    continue;
                const std::string name = trimmed(available[file].get(i));
                const int offset = offsetOf(toLoad, name, groups);
                if (offset == -1 || m_resolved[file].count(offset)) {
                    unresolved.push_back(name);
                } else if (QelAppVarNameListAddVarName(toLoad.getRef(), offset, name.c_str())) {
                    m_resolved[file].insert(offset);
                    attached.insert(name);
                }
            }
            available[file].clear();
            for (const std::string& name : unresolved)
                available[file].append(name);
        }
        return attached;
    }

private:
    static std::string trimmed(const std::string& text) {
        const std::size_t first = text.find_first_not_of(" \t\n\v\f\r");
        return first == std::string::npos
                   ? ""
                   : text.substr(first, text.find_last_not_of(" \t\n\v\f\r") - first + 1);
    }

    static bool holdsExactly(const std::string& entry, const std::string& name) {
        const StringList names = StringList::fromNLString(entry.c_str());
        for (long i = 0; i < names.size(); ++i) {
            if (trimmed(names.get(i)) == trimmed(name))
                return true;
        }
        return false;
    }

    static int offsetOf(const StringList& toLoad, const std::string& name,
                        const std::vector<StringList_s*>& groups) {
        const StringList parts = StringList::fromNLString(name.c_str());
        for (long i = 0; i < parts.size(); ++i) {
            if (!parts[i])
                continue;
            const int direct = QelAppVarNameListGetVarOffset(toLoad.getRef(), parts[i]);
            if (direct != -1)
                return direct;
            for (StringList_s* group : groups) {
                if (QelAppVarNameListGetVarOffset(group, parts[i]) == -1)
                    continue;
                for (long member = 1; member <= QelUtilStringListGetCount(group); ++member) {
                    const char* text = QelUtilStringListGetRawStringPtr(group, member);
                    const int offset = text ? QelAppVarNameListGetVarOffset(toLoad.getRef(), text) : -1;
                    if (offset != -1)
                        return offset;
                }
            }
        }
        return -1;
    }

    std::vector<std::set<int>> m_resolved;
};

// Spellings that the kernel takes for one another, or not: case, blanks, several names in one.
rc::Gen<std::string> nameGen() {
    return rc::gen::element<std::string>("a", "A", " a ", "b", "B\t", "ab", "aB", "c", "d", "a\nb", "");
}

// Drawn inside a property only.
StringList drawList(int maxSize) {
    const auto size = static_cast<std::size_t>(*rc::gen::inRange(0, maxSize + 1));
    StringList list;
    for (const std::string& name : *rc::gen::container<Texts>(size, nameGen()))
        list.append(name);
    return list;
}

std::vector<StringList> drawLists(int minCount, int maxCount, int maxSize) {
    std::vector<StringList> lists(static_cast<std::size_t>(*rc::gen::inRange(minCount, maxCount + 1)));
    for (StringList& list : lists)
        list = drawList(maxSize);
    return lists;
}

RC_GTEST_FIXTURE_PROP(VariableAliasesApplierTest, AttachesExactlyWhatAskingEveryGroupAttaches, ()) {
    const StringList existing = drawList(5);
    const std::vector<StringList> files = drawLists(1, 3, 4);
    std::vector<StringList_s*> fileHandles;
    for (const StringList& file : files)
        fileHandles.push_back(file.getRef());
    applier.init(existing.getRef(), fileHandles);
    ReferenceApplier reference(existing, files);
    StringList toLoad(existing), expectedToLoad(existing);

    // Two rounds, so that what the first attached counts in the second.
    for (int round = 0; round < 2; ++round) {
        const std::vector<StringList> groups = drawLists(0, 4, 3);
        std::vector<StringList_s*> groupHandles;
        for (const StringList& group : groups)
            groupHandles.push_back(group.getRef());
        std::vector<StringList> available;
        for (std::size_t file = 0; file < files.size(); ++file)
            available.push_back(drawList(4));
        std::vector<StringList> expectedAvailable(available);
        std::vector<StringList_s*> availableHandles;
        for (const StringList& list : available)
            availableHandles.push_back(list.getRef());

        const auto attached = applier.apply(groupHandles, toLoad.getRef(), availableHandles);
        RC_ASSERT(attached == reference.apply(groupHandles, expectedToLoad, expectedAvailable));
        RC_ASSERT(texts(toLoad) == texts(expectedToLoad));
        for (std::size_t file = 0; file < files.size(); ++file)
            RC_ASSERT(texts(available[file]) == texts(expectedAvailable[file]));
    }
    RC_ASSERT(kernel.messages().empty());
}

} // namespace
