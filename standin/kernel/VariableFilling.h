#pragma once

// Internal to the stand-in kernel: which of a file's variables fills each variable that the
// match-variables callback chose. The load fits every file with it, and the kernel's queries
// answer from the same code, so that what a window shows is what the load does.

#include "host/StringList.h"

#include <string>
#include <vector>

namespace qelmar::standin {

using VariableNames = std::vector<std::string>;

qelmar::toolbox::StringList listOf(const VariableNames& names);

// The variables data is fitted to: one entry per variable, each entry holding the names that
// designate it (LF-separated); a variable is called by its entry's first name. The existing
// variables (the data set's, or the first file's) also take other letter cases of their names, as
// the post-load window matched them; a new variable takes only the names the user put in its
// entry.
struct Variables {
    qelmar::toolbox::StringList entries;
    VariableNames names;
    VariableNames existingNames;
    qelmar::toolbox::StringList existing;
    // The names of each entry, split once: a window asks which names fill the variables for
    // every file of a load.
    std::vector<VariableNames> entryNames;
};

Variables variablesNamed(const VariableNames& names);

// The positions in a callback's answer of the entries that name something: the variables, in
// their order.
std::vector<long> namedEntryPositions(const qelmar::toolbox::StringList& answer);
// The entries of a callback's answer that name something, each called by its first name.
Variables variablesOf(const qelmar::toolbox::StringList& answer, const VariableNames& existing);

// For each variable, the own variable that fills it, or -1. An entry's names are tried in their
// order, which is the order they joined the entry in the post-load window: the variable's own
// names first, then those combined into it. So a file fills the variable from the name that
// filled it for that file in the window, even when the entry also holds another of the file's
// names that another file combined into it. An existing variable's name also takes a file's
// other spelling of it, when the file has only one. Each own variable fills one variable, the
// first whose entry takes it: a file's "X" the window matched to the data set's "x" does not also
// fill an "X" added from another file.
std::vector<int> sourcesOf(const Variables& variables, const VariableNames& own);
// What the load fills each variable from: values that have exactly the chosen variables keep them
// as they are, otherwise as sourcesOf says.
std::vector<int> fillingSources(const Variables& variables, const VariableNames& own);

} // namespace qelmar::standin
