#pragma once

#include "propertyframework/PropertyAbstract.h"

namespace qelmar::sdk::styleproperties {

// A property backed by a kernel style value. The offsets select the instance of the style
// value (for example a collection index); noOffset means not given.
// The offset that selects no instance.
constexpr long noOffset = -1;

template <typename T> class KernelPropertyAbstract : public virtual PropertyAbstract<T> {
public:
    virtual void setOffsets(long firstOffset, long secondOffset) = 0;
    ~KernelPropertyAbstract() override = default;
};

template <typename T> using KernelPropertyPtr = std::shared_ptr<KernelPropertyAbstract<T>>;

} // namespace qelmar::sdk::styleproperties
