#pragma once

#include "styleproperties/KernelProperty.h"

namespace qelmar::sdk::styleproperties {

// A kernel style property for dialogs that can be cancelled: the user's value stays here until
// apply() writes it, and is lost with the property otherwise. It does not follow the kernel's
// state changes by itself; its value moves only through setValue, setOffsets and revert.
template <typename T> class KernelPropertyDeferred : public KernelPropertyAbstract<T> {
public:
    explicit KernelPropertyDeferred(const toolbox::StyleValue& styleValue)
        : PropertyAbstract<T>()
        , m_pending()
        , m_kernelProperty(styleValue) {
        m_pending = m_kernelProperty.retrieveValue();
    }

    // The newly addressed instance's value replaces the pending one: an edit made for another
    // instance does not carry over.
    void setOffsets(long firstOffset, long secondOffset) override {
        m_kernelProperty.setOffsets(firstOffset, secondOffset);
        revert();
    }

    ~KernelPropertyDeferred() override = default;

    // Writes the pending value unless the kernel holds it already; a refusal raises
    // InvalidPropertyValueException and the pending value stays.
    virtual void apply() { m_kernelProperty.setValue(m_pending); }

    // Drops the pending value for what the kernel holds now, announcing a change: a dialog that
    // outlives one opening shows the kernel's values again after a cancel or a change made
    // elsewhere, and never submits an edit the user abandoned.
    void revert() {
        const T kernelValue = m_kernelProperty.retrieveValue();
        if (detail::sameReading(kernelValue, m_pending))
            return;
        m_pending = kernelValue;
        this->emitValueChangedSignal(m_pending);
    }

    T retrieveValue() const override { return m_pending; }

    // What the kernel holds, whatever is pending.
    T kernelValue() const { return m_kernelProperty.retrieveValue(); }

protected:
    void storeValue(const T& value) override { m_pending = value; }

private:
    T m_pending;
    KernelProperty<T> m_kernelProperty;
};

} // namespace qelmar::sdk::styleproperties
