#pragma once

#include <memory>
#include <string>
#include <vector>

struct StringList_s;

namespace qelmar::sdk::ui::postload {

// Reads a variable aliases file: after its header, every line holding a ";" is one group of
// names that denote the same variable in different data files ("X;x_coord;XC"). Lines starting
// with "#" are comments, as is the rest of a line from a "#" on. Problems with the file are shown
// to the user in a message box; the parser then keeps the groups read before the problem.
class VariableAliasesFileParser {
public:
    // Parses the file at once; never throws for a problem with the file.
    explicit VariableAliasesFileParser(const std::string& filePath);
    virtual ~VariableAliasesFileParser();
    VariableAliasesFileParser(const VariableAliasesFileParser&) = delete;
    VariableAliasesFileParser& operator=(const VariableAliasesFileParser&) = delete;

    // One kernel list per group, in file order, each with at least one name. The parser keeps
    // ownership: do not free the lists or use them after the parser is gone.
    std::vector<StringList_s*>& aliasesList();

    // The startup folder's "variable_aliases.txt", or the one in the user's home folder when the
    // application has none.
    static std::string locateVariableAliasesFilePath();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::postload
