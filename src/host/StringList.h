#pragma once

#include "host/KernelStrings.h"

#include <initializer_list>
#include <new>
#include <string>

namespace qelmar::toolbox {

// Owns a kernel string list. Indexes count from 0 as everywhere in C++; the class turns them
// into the kernel's positions, which count from 1. A moved-from list holds no handle and
// behaves as an empty list.
class StringList {
public:
    StringList();
    StringList(std::initializer_list<const char*> strings);
    // Takes ownership of a handle the kernel gave out (null gives an empty list).
    explicit StringList(StringList_s* adopted);
    StringList(const StringList& other);
    StringList(StringList&& other) noexcept;
    StringList& operator=(const StringList& other);
    StringList& operator=(StringList&& other) noexcept;
    ~StringList();

    static StringList fromNLString(const char* text);
    std::string toNLString() const;

    bool append(const char* string);
    bool append(const std::string& string) { return append(string.c_str()); }
    bool append(const StringList& other);
    bool insert(long index, const char* string);
    bool set(long index, const char* string);
    void remove(long index);
    void clear();

    long size() const;
    bool empty() const { return size() == 0; }
    // Borrowed from the kernel, valid until the list changes; null outside the list.
    const char* operator[](long index) const;
    // A copy; empty outside the list.
    std::string get(long index) const;

    // The handle for kernel calls; the list keeps ownership.
    StringList_s* getRef() const noexcept { return m_list; }
    // Gives up ownership; the caller frees the handle with QelUtilStringListDealloc.
    StringList_s* release() noexcept;

    bool operator==(const StringList& other) const;
    bool operator!=(const StringList& other) const { return !(*this == other); }

private:
    StringList_s* ensureList();

    StringList_s* m_list = nullptr;
};

// Adopts a list a kernel call has just made (Alloc, Copy, FromNLString, CreateDefault ...). Such a
// call gives null only when the kernel cannot allocate; the constructor would then stand in an
// empty list of its own and hide the failure, so this throws std::bad_alloc instead.
inline StringList adoptNewList(StringList_s* made) {
    if (!made)
        throw std::bad_alloc();
    return StringList(made);
}

} // namespace qelmar::toolbox
