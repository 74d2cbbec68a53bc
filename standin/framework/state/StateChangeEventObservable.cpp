#include "host/StateChangeEventObservable.h"

namespace qelmar::sdk {

namespace {

class StateChangeEvent final : public StateChangeEventInterface {
public:
    explicit StateChangeEvent(StateChange_e kind)
        : m_kind(kind) {}

    StateChange_e kind() const override { return m_kind; }

private:
    StateChange_e m_kind;
};

} // namespace

StateChangeEventObservable::StateChangeEventObservable() {
    QelAppStateChangeAddCallback(&StateChangeEventObservable::kernelStateChanged, this);
}

StateChangeEventObservable::~StateChangeEventObservable() {
    QelAppStateChangeRemoveCallback(&StateChangeEventObservable::kernelStateChanged, this);
}

StateChangeEventObservable& StateChangeEventObservable::getInstance() {
    static StateChangeEventObservable observable;
    return observable;
}

void StateChangeEventObservable::kernelStateChanged(StateChange_e kind, void* observable) {
    static_cast<StateChangeEventObservable*>(observable)->m_signalStateChange(StateChangeEvent(kind));
}

} // namespace qelmar::sdk
