#pragma once

#include "host/UIKernelStylePropertiesInterface.h"
#include "propertyframework/SignalConnectionCollection.h"

namespace qelmar::sdk::ui::propertymanager {

// Base of the generated sets of kernel style properties. A modal set holds deferred
// properties that reach the kernel on submit(); a modeless one writes through at once. A set
// nested in a parent set is submitted whenever its parent is.
class UIKernelStylePropertiesAbstract : public virtual UIKernelStylePropertiesInterface {
public:
    static constexpr int noCollectionOffset = -1;

    UIKernelStylePropertiesAbstract(bool modal, UIKernelStylePropertiesAbstract* parent);
    ~UIKernelStylePropertiesAbstract() override;

    virtual UIKernelStylePropertiesAbstract* parent() const { return m_parent; }
    // Called by the owner once the set is set up (offsets included); announces it.
    virtual void init();
    virtual bool isModal() const { return m_modal; }
    // Applies the set (exceptions of a refused value pass out, later properties stay pending),
    // then announces the submission.
    virtual void submit();
    // Selects the instance every property addresses, or none (noCollectionOffset).
    virtual void setCollectionOffset(const int& offset);
    virtual int collectionOffset() const { return m_collectionOffset; }
    virtual void submitProperties() = 0;
    virtual void setOffset(int firstOffset, int secondOffset) = 0;
    virtual void parentSubmitted();

private:
    UIKernelStylePropertiesAbstract* m_parent;
    bool m_modal;
    int m_collectionOffset = noCollectionOffset;
    SignalConnectionCollection m_parentConnections;
};

} // namespace qelmar::sdk::ui::propertymanager
