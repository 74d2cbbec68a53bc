#pragma once

#include "propertyframework/PropertyAbstract.h"

#include <boost/signals2/connection.hpp>

#include <functional>
#include <memory>

namespace qelmar::sdk::ui {

// Runs an action once at the next idle moment after a property changed, however often it
// changed in between. While disabled, changes schedule nothing (a run already scheduled
// still happens).
class OnIdleAfterPropertyChangeActionPerformer {
public:
    template <typename T>
    OnIdleAfterPropertyChangeActionPerformer(const PropertyAbstract<T>& property,
                                             std::function<void()> action)
        : OnIdleAfterPropertyChangeActionPerformer(std::move(action)) {
        watch(property.connectToValueChangedSignalUnique([this](const T&) { propertyChanged(); }));
    }

    OnIdleAfterPropertyChangeActionPerformer(const OnIdleAfterPropertyChangeActionPerformer&) = delete;
    OnIdleAfterPropertyChangeActionPerformer&
    operator=(const OnIdleAfterPropertyChangeActionPerformer&) = delete;
    ~OnIdleAfterPropertyChangeActionPerformer();

    void enable(bool enabled);
    bool isEnabled() const;
    bool isPending() const;

    // Disables the performer for a scope, for changes its owner makes itself.
    class ScopedDisable {
    public:
        explicit ScopedDisable(OnIdleAfterPropertyChangeActionPerformer& performer)
            : m_performer(performer)
            , m_wasEnabled(performer.isEnabled()) {
            m_performer.enable(false);
        }
        ScopedDisable(const ScopedDisable&) = delete;
        ScopedDisable& operator=(const ScopedDisable&) = delete;
        ~ScopedDisable() { m_performer.enable(m_wasEnabled); }

    private:
        OnIdleAfterPropertyChangeActionPerformer& m_performer;
        const bool m_wasEnabled;
    };

private:
    explicit OnIdleAfterPropertyChangeActionPerformer(std::function<void()> action);
    void watch(const boost::signals2::connection& connection);
    void propertyChanged();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui
