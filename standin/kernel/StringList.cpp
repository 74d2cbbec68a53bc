#include "host/StringList.h"

#include "host/KernelString.h"

#include <cstring>
#include <utility>

namespace qelmar::toolbox {

namespace {

long positionOf(long index) {
    return index + 1;
}

} // namespace

StringList::StringList()
    : m_list(QelUtilStringListAlloc()) {}

StringList::StringList(std::initializer_list<const char*> strings)
    : StringList() {
    for (const char* string : strings)
        append(string);
}

StringList::StringList(StringList_s* adopted)
    : m_list(adopted ? adopted : QelUtilStringListAlloc()) {}

StringList::StringList(const StringList& other)
    : m_list(other.m_list ? QelUtilStringListCopy(other.m_list) : QelUtilStringListAlloc()) {}

StringList::StringList(StringList&& other) noexcept
    : m_list(std::exchange(other.m_list, nullptr)) {}

StringList& StringList::operator=(const StringList& other) {
    if (this != &other) {
        StringList copy(other);
        std::swap(m_list, copy.m_list);
    }
    return *this;
}

StringList& StringList::operator=(StringList&& other) noexcept {
    if (this != &other) {
        QelUtilStringListDealloc(&m_list);
        m_list = std::exchange(other.m_list, nullptr);
    }
    return *this;
}

StringList::~StringList() {
    QelUtilStringListDealloc(&m_list);
}

StringList StringList::fromNLString(const char* text) {
    return StringList(QelUtilStringListFromNLString(text));
}

std::string StringList::toNLString() const {
    return qelmar::sdk::KernelString(QelUtilStringListToNLString(m_list)).str();
}

StringList_s* StringList::ensureList() {
    if (!m_list)
        m_list = QelUtilStringListAlloc();
    return m_list;
}

bool StringList::append(const char* string) {
    return QelUtilStringListAppendString(ensureList(), string);
}

bool StringList::append(const StringList& other) {
    return QelUtilStringListAppend(ensureList(), other.m_list);
}

bool StringList::insert(long index, const char* string) {
    return QelUtilStringListInsertString(ensureList(), positionOf(index), string);
}

bool StringList::set(long index, const char* string) {
    return QelUtilStringListSetString(ensureList(), positionOf(index), string);
}

void StringList::remove(long index) {
    QelUtilStringListRemoveString(m_list, positionOf(index));
}

void StringList::clear() {
    QelUtilStringListClear(m_list);
}

long StringList::size() const {
    return QelUtilStringListGetCount(m_list);
}

const char* StringList::operator[](long index) const {
    return QelUtilStringListGetRawStringPtr(m_list, positionOf(index));
}

std::string StringList::get(long index) const {
    const char* string = (*this)[index];
    return string ? string : "";
}

StringList_s* StringList::release() noexcept {
    return std::exchange(m_list, nullptr);
}

bool StringList::operator==(const StringList& other) const {
    if (size() != other.size())
        return false;
    for (long index = 0; index < size(); ++index) {
        const char* mine = (*this)[index];
        const char* theirs = other[index];
        // A null entry equals only another null entry, not an empty string.
        if (!mine || !theirs ? mine != theirs : std::strcmp(mine, theirs) != 0)
            return false;
    }
    return true;
}

} // namespace qelmar::toolbox
