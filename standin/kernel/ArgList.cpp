#include "host/ArgList.h"

#include "host/StringList.h"

#include <utility>

namespace qelmar::toolbox {

ArgList::ArgList()
    : m_args(QelUtilArgListAlloc()) {}

ArgList::ArgList(ArgList&& other) noexcept
    : m_args(std::exchange(other.m_args, nullptr)) {}

ArgList& ArgList::operator=(ArgList&& other) noexcept {
    if (this != &other) {
        QelUtilArgListDealloc(&m_args);
        m_args = std::exchange(other.m_args, nullptr);
    }
    return *this;
}

ArgList::~ArgList() {
    QelUtilArgListDealloc(&m_args);
}

bool ArgList::appendString(const char* key, const char* value) {
    return QelUtilArgListAppendString(m_args, key, value);
}

bool ArgList::appendInt(const char* key, long value) {
    return QelUtilArgListAppendInt(m_args, key, value);
}

bool ArgList::appendArbParam(const char* key, long value) {
    return QelUtilArgListAppendArbParam(m_args, key, value);
}

bool ArgList::appendArbParamPtr(const char* key, long* value) {
    return QelUtilArgListAppendArbParamPtr(m_args, key, value);
}

bool ArgList::appendDouble(const char* key, double value) {
    return QelUtilArgListAppendDouble(m_args, key, value);
}

bool ArgList::appendDoublePtr(const char* key, double* value) {
    return QelUtilArgListAppendDoublePtr(m_args, key, value);
}

bool ArgList::appendStringPtr(const char* key, char** value) {
    return QelUtilArgListAppendStringPtr(m_args, key, value);
}

bool ArgList::appendStringList(const char* key, const StringList& value) {
    return QelUtilArgListAppendStringList(m_args, key, value.getRef());
}

bool ArgList::appendIdentifierPath(const char* key, const long* path) {
    return QelUtilArgListAppendIdentifierPath(m_args, key, path);
}

bool ArgList::contains(const char* key) const {
    return QelUtilArgListHasKey(m_args, key);
}

long ArgList::size() const {
    return QelUtilArgListGetCount(m_args);
}

void ArgList::clear() {
    QelUtilArgListClear(m_args);
}

} // namespace qelmar::toolbox
