#pragma once

#include "host/KernelArgList.h"

#include <string>

namespace qelmar::toolbox {

class StringList;

// Owns a kernel argument list. Every append returns false when the kernel refused it (a key
// given twice, a null receiver); receiving arguments must outlive the call they are used in.
class ArgList {
public:
    ArgList();
    ArgList(const ArgList&) = delete;
    ArgList& operator=(const ArgList&) = delete;
    ArgList(ArgList&& other) noexcept;
    ArgList& operator=(ArgList&& other) noexcept;
    ~ArgList();

    bool appendString(const char* key, const char* value);
    bool appendString(const char* key, const std::string& value) { return appendString(key, value.c_str()); }
    bool appendInt(const char* key, long value);
    bool appendArbParam(const char* key, long value);
    bool appendArbParamPtr(const char* key, long* value);
    bool appendDouble(const char* key, double value);
    bool appendDoublePtr(const char* key, double* value);
    bool appendStringPtr(const char* key, char** value);
    bool appendStringList(const char* key, const StringList& value);
    bool appendIdentifierPath(const char* key, const long* path);

    bool contains(const char* key) const;
    long size() const;
    void clear();

    // The handle for kernel calls such as QelUtilSaveLayoutX; the list keeps ownership.
    ArgList_pa getRef() const noexcept { return m_args; }

private:
    ArgList_s* m_args = nullptr;
};

} // namespace qelmar::toolbox
