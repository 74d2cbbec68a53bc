#pragma once

#include "host/BindingInterface.h"
#include "host/RelevanceApplier.h"

#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace qelmar::dialogs::io {

// The property set of a dialog whose manager keeps no set of its own.
struct NoPropertySet {};

// What a dialog builds on its form: the property set, the manager working on it, the bindings
// tying both to widgets and the appliers tying relevances to widgets. Each depends on the ones
// before it, and they go in reverse: appliers, bindings, manager, property set.
template <class PropertySet, class Manager> class DialogParts {
public:
    static constexpr bool hasPropertySet = !std::is_same_v<PropertySet, NoPropertySet>;

    // The set is built from the arguments, then the manager from the set (from nothing when
    // there is no set).
    template <class... SetArguments>
    explicit DialogParts(SetArguments&&... setArguments)
        : m_properties(makeProperties(std::forward<SetArguments>(setArguments)...))
        , m_manager(makeManager(m_properties.get())) {}

    ~DialogParts() {
        // Newest first inside each list too: a later applier or binding may build on an earlier one.
        destroyNewestFirst(m_appliers);
        destroyNewestFirst(m_bindings);
    }

    DialogParts(const DialogParts&) = delete;
    DialogParts& operator=(const DialogParts&) = delete;

    template <class Set = PropertySet, std::enable_if_t<!std::is_same_v<Set, NoPropertySet>, int> = 0>
    Set& properties() const {
        return *m_properties;
    }
    Manager& manager() const { return *m_manager; }

    template <class Binding, class... Arguments> Binding& bind(Arguments&&... arguments) {
        auto binding = std::make_unique<Binding>(std::forward<Arguments>(arguments)...);
        Binding& added = *binding;
        m_bindings.push_back(std::move(binding));
        return added;
    }

    template <class... Arguments>
    sdk::ui::dialogs::RelevanceApplier& applyRelevance(Arguments&&... arguments) {
        m_appliers.push_back(
            std::make_unique<sdk::ui::dialogs::RelevanceApplier>(std::forward<Arguments>(arguments)...));
        return *m_appliers.back();
    }

private:
    template <class... SetArguments>
    static std::unique_ptr<PropertySet> makeProperties(SetArguments&&... arguments) {
        if constexpr (hasPropertySet)
            return std::make_unique<PropertySet>(std::forward<SetArguments>(arguments)...);
        else
            return nullptr;
    }

    static std::unique_ptr<Manager> makeManager([[maybe_unused]] PropertySet* properties) {
        if constexpr (hasPropertySet)
            return std::make_unique<Manager>(*properties);
        else
            return std::make_unique<Manager>();
    }

    template <class T> static void destroyNewestFirst(std::vector<std::unique_ptr<T>>& parts) {
        while (!parts.empty())
            parts.pop_back();
    }

    // Declared in order of dependence, so that destruction runs in reverse.
    std::unique_ptr<PropertySet> m_properties;
    std::unique_ptr<Manager> m_manager;
    std::vector<std::unique_ptr<sdk::ui::dialogs::BindingInterface>> m_bindings;
    std::vector<std::unique_ptr<sdk::ui::dialogs::RelevanceApplier>> m_appliers;
};

} // namespace qelmar::dialogs::io
