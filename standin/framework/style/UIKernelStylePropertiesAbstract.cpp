#include "host/UIKernelStylePropertiesAbstract.h"

namespace qelmar::sdk::ui::propertymanager {

UIKernelStylePropertiesAbstract::UIKernelStylePropertiesAbstract(bool modal,
                                                                 UIKernelStylePropertiesAbstract* parent)
    : m_parent(parent)
    , m_modal(modal) {
    if (m_parent)
        m_parentConnections.add(m_parent->connectToSubmittedSignal([this] { parentSubmitted(); }));
}

UIKernelStylePropertiesAbstract::~UIKernelStylePropertiesAbstract() = default;

void UIKernelStylePropertiesAbstract::init() {
    emitInitializedSignal();
}

void UIKernelStylePropertiesAbstract::submit() {
    submitProperties();
    emitSubmittedSignal();
}

void UIKernelStylePropertiesAbstract::setCollectionOffset(const int& offset) {
    m_collectionOffset = offset;
    // A nested set addresses an instance inside its parent's: the parent's offset comes first.
    if (m_parent)
        setOffset(m_parent->collectionOffset(), offset);
    else
        setOffset(offset, noCollectionOffset);
}

void UIKernelStylePropertiesAbstract::parentSubmitted() {
    submit();
}

} // namespace qelmar::sdk::ui::propertymanager
