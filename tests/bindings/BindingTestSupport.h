#pragma once

#include "common/ScopedCommaDecimalLocale.h"
#include "host/KernelLock.h"
#include "propertyframework/Property.h"
#include "propertyframework/RelevanceInterface.h"

#include <QCoreApplication>

#include <string>

namespace bindingtest {

using testsupport::ScopedCommaDecimalLocale;

// A relevance a test switches by hand.
class SwitchRelevance : public qelmar::sdk::ui::propertymanager::RelevanceInterface {
public:
    explicit SwitchRelevance(bool relevant)
        : m_relevant(relevant) {}
    bool isRelevant() const override { return m_relevant; }
    void set(bool relevant) {
        m_relevant = relevant;
        emitRelevanceChanged();
    }

private:
    bool m_relevant;
};

// A stored property that remembers whether its last store ran under the application lock,
// the way a kernel-backed property would need it.
template <typename T> class LockCheckingProperty : public qelmar::Property<T> {
public:
    using qelmar::Property<T>::Property;
    bool storedUnderLock = false;
    int stores = 0;

protected:
    void storeValue(const T& value) override {
        storedUnderLock = QelAppLockIsHeld();
        ++stores;
        qelmar::Property<T>::storeValue(value);
    }
};

template <typename T> class RefusingValidator : public qelmar::ValidatorInterface<T> {
public:
    RefusingValidator(T refused, std::string message)
        : m_refused(std::move(refused))
        , m_message(std::move(message)) {}
    qelmar::ValidationResult validate(const T& value) const override {
        qelmar::ValidationResult result;
        if (value == m_refused)
            result.setErrorString(m_message);
        return result;
    }

private:
    T m_refused;
    std::string m_message;
};

// Deferred work runs on zero-interval timers; one pass of the event loop runs it.
inline void processIdle() {
    QCoreApplication::processEvents();
}

} // namespace bindingtest
