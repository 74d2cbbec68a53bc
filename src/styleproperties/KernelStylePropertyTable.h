#pragma once

#include "styleproperties/KernelPropertyDeferred.h"

#include <functional>
#include <initializer_list>
#include <vector>

namespace qelmar::sdk::styleproperties {

// The kernel properties of a generated property set in declaration order, so that the set's
// submitProperties() and setOffset() are one call each. Entries add themselves when they are
// constructed; KernelStylePropertySet.h declares them, one per line of the set's table.
class KernelStylePropertyTable {
public:
    KernelStylePropertyTable() = default;
    KernelStylePropertyTable(const KernelStylePropertyTable&) = delete;
    KernelStylePropertyTable& operator=(const KernelStylePropertyTable&) = delete;

    template <typename T> void add(const KernelPropertyPtr<T>& property) {
        Row row;
        row.setOffsets = [property](long first, long second) { property->setOffsets(first, second); };
        // An immediate property wrote through already: nothing to apply.
        if (auto deferred = std::dynamic_pointer_cast<KernelPropertyDeferred<T>>(property)) {
            row.apply = [deferred] { deferred->apply(); };
            row.revert = [deferred] { deferred->revert(); };
        }
        m_rows.push_back(std::move(row));
    }

    // The first refusal raises and ends the walk; later properties keep their pending values.
    void applyAll() const {
        for (const auto& row : m_rows) {
            if (row.apply)
                row.apply();
        }
    }

    // Every pending value gives way to the kernel's.
    void revertAll() const {
        for (const auto& row : m_rows) {
            if (row.revert)
                row.revert();
        }
    }
    void setOffsets(long firstOffset, long secondOffset) const {
        for (const auto& row : m_rows)
            row.setOffsets(firstOffset, secondOffset);
    }

    std::size_t size() const noexcept { return m_rows.size(); }

private:
    struct Row {
        std::function<void(long, long)> setOffsets;
        std::function<void()> apply;
        std::function<void()> revert;
    };
    std::vector<Row> m_rows;
};

// A deferred property for a modal set, an immediate one otherwise.
template <typename T>
KernelPropertyPtr<T> makeKernelStyleProperty(bool deferred, const toolbox::StyleValue& styleValue) {
    if (deferred)
        return std::make_shared<KernelPropertyDeferred<T>>(styleValue);
    return std::make_shared<KernelProperty<T>>(styleValue);
}

// The style value named by a base path with further names appended.
inline toolbox::StyleValue styleValueAt(const toolbox::StringList& basePath,
                                        std::initializer_list<const char*> names) {
    toolbox::StringList path(basePath);
    for (const char* name : names)
        path.append(name);
    return toolbox::StyleValue(path);
}

// One property of a generated set: the kernel property that submitting and offsetting act on,
// and the property that readers see, which a manager may replace (by a decorator, say).
template <typename T> class KernelStylePropertyEntry {
public:
    KernelStylePropertyEntry(KernelStylePropertyTable& table, bool deferred,
                             const toolbox::StringList& basePath, std::initializer_list<const char*> names)
        : m_kernel(makeKernelStyleProperty<T>(deferred, styleValueAt(basePath, names)))
        , m_public(m_kernel) {
        table.add(m_kernel);
    }

    const KernelPropertyPtr<T>& kernel() const noexcept { return m_kernel; }
    PropertyPtr<T> get() const { return m_public; }
    void set(PropertyPtr<T> property) { m_public = std::move(property); }

private:
    KernelPropertyPtr<T> m_kernel;
    PropertyPtr<T> m_public;
};

} // namespace qelmar::sdk::styleproperties
