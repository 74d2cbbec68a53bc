#pragma once

#include "host/StringList.h"
#include "propertyframework/PropertyAbstract.h"
#include "styleproperties/KernelStylePropertyTable.h"

#include <utility>

// A generated set of kernel style properties is one table of its style values, one line each:
//
//     #define EXAMPLE_STYLE_PROPERTIES(X)
//         X(bool, IncludeData, setIncludeData, "Config", "IncludeData")
//         X(long, Width, setWidth, "Config", "Width")
//
// (each line but the last continued with a backslash), giving the value type, the getter, the setter and the
// path below the set's base path. The set's class then expands the table twice:
//
//     public:
//         QELMAR_STYLE_PROPERTY_SET_OPERATIONS
//         EXAMPLE_STYLE_PROPERTIES(QELMAR_STYLE_PROPERTY_ACCESSORS)
//     private:
//         QELMAR_STYLE_PROPERTY_SET_MEMBERS(EXAMPLE_STYLE_PROPERTIES)
//
// and its constructors initialise the base path member m_basePath. The properties are made in
// table order, deferred when the set is modal; submitting and offsetting walk them in that order.

// A virtual getter returning the property readers see, and a virtual setter replacing it (by a
// decorator, say) while submitting still acts on the kernel property beneath.
#define QELMAR_STYLE_PROPERTY_ACCESSORS(Type, Getter, Setter, ...)                                           \
    virtual ::qelmar::PropertyPtr<Type> Getter() const {                                                     \
        return m_##Getter.get();                                                                             \
    }                                                                                                        \
    virtual void Setter(::qelmar::PropertyPtr<Type> property) {                                              \
        m_##Getter.set(std::move(property));                                                                 \
    }

// The entry of one style value; it registers itself in the set's table when constructed.
#define QELMAR_STYLE_PROPERTY_MEMBER(Type, Getter, Setter, ...)                                              \
    ::qelmar::sdk::styleproperties::KernelStylePropertyEntry<Type> m_##Getter{                               \
        m_table, isModal(), m_basePath, {__VA_ARGS__}};

// The base path first: every entry's style value is built from it.
#define QELMAR_STYLE_PROPERTY_SET_MEMBERS(Table)                                                             \
    ::qelmar::toolbox::StringList m_basePath;                                                                \
    ::qelmar::sdk::styleproperties::KernelStylePropertyTable m_table;                                        \
    Table(QELMAR_STYLE_PROPERTY_MEMBER)

// Every deferred property in table order, the first refusal raising and ending the walk; the
// offsets of every property; and every pending value dropped for the kernel's.
#define QELMAR_STYLE_PROPERTY_SET_OPERATIONS                                                                 \
    void submitProperties() override {                                                                       \
        m_table.applyAll();                                                                                  \
    }                                                                                                        \
    void setOffset(int firstOffset, int secondOffset) override {                                             \
        m_table.setOffsets(firstOffset, secondOffset);                                                       \
    }                                                                                                        \
    void revertProperties() {                                                                                \
        m_table.revertAll();                                                                                 \
    }
