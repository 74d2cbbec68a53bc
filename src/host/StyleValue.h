#pragma once

#include "host/ArgList.h"
#include "host/KernelStyle.h"
#include "host/StringList.h"

#include <array>
#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

namespace qelmar::toolbox {

// Names beyond a style value's own path, for calls that address a sub-value; null where unused.
using ExtraStyleNames = std::array<const char*, 7>;

// Names one kernel style value by its path of names and carries get and set calls to it.
//
// A call goes in three steps: build the identifier path (getIdentifiers(), then the
// identifiers of any extra names, then -1), set up an argument list from it, add the value or
// the receiving argument and perform the call. getFinalValue and setFinalValue do the last
// step for the types they take.
class StyleValue {
public:
    explicit StyleValue(const StringList& names);
    virtual ~StyleValue() = default;

    const StringList& names() const noexcept { return m_names; }
    // One identifier per name, without the terminator.
    const std::vector<long>& getIdentifiers() const noexcept { return m_identifiers; }

    // Writes the identifiers of the leading non-null names into `identifiers` (room for 7) and
    // returns how many it wrote.
    static std::size_t initMacroIDsfromStyleValueNames(const ExtraStyleNames& names, long* identifiers);

    // `path` is a complete identifier path ending in -1. Offsets of -1 are "not given".
    void setupGetValueArgList(const long* path, long firstOffset, long secondOffset, ArgList& args) const;
    // `set` selects several instances at once; null addresses the instance of the offsets.
    void setupSetValueArgList(const long* path, Set_pa set, long firstOffset, long secondOffset,
                              long assignOperator, ArgList& args) const;

    GetValueReturnCode_e getFinalValue(bool* value, ArgList& args) const;
    GetValueReturnCode_e getFinalValue(double* value, ArgList& args) const;
    GetValueReturnCode_e getFinalValue(std::string* value, ArgList& args) const;
    SetValueReturnCode_e setFinalValue(bool value, ArgList& args) const;
    SetValueReturnCode_e setFinalValue(double value, ArgList& args) const;
    SetValueReturnCode_e setFinalValue(const std::string& value, ArgList& args) const;

    // The low-level calls with an argument list already complete.
    GetValueReturnCode_e getLowLevel(ArgList& args) const;
    SetValueReturnCode_e setLowLevel(ArgList& args) const;

    static bool returnCodeOk(GetValueReturnCode_e code) noexcept { return code == GetValue_Ok; }
    static bool returnCodeOk(SetValueReturnCode_e code) noexcept {
        return code == SetValue_Ok || code == SetValue_DuplicateValue;
    }

    // Writes an integer (or an enumeration) to this style value extended by up to seven names.
    template <typename T>
    SetValueReturnCode_e set(T value, const char* name1 = nullptr, const char* name2 = nullptr,
                             const char* name3 = nullptr, const char* name4 = nullptr,
                             const char* name5 = nullptr, const char* name6 = nullptr,
                             const char* name7 = nullptr) const {
        static_assert(std::is_integral_v<T> || std::is_enum_v<T>, "set<T> writes integers and enumerations");
        return setInteger(static_cast<long>(value), {name1, name2, name3, name4, name5, name6, name7});
    }

    static constexpr long assignOperator = 255;

private:
    SetValueReturnCode_e setInteger(long value, const ExtraStyleNames& names) const;

    StringList m_names;
    std::vector<long> m_identifiers;
};

} // namespace qelmar::toolbox
