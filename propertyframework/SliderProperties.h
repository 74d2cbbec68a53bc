#pragma once

#include "propertyframework/SliderPropertiesInterface.h"

namespace qelmar::sdk::ui::propertymanager {

// Minimum, maximum and step of a slider, as a value that a property can hold.
template <typename T> class SliderProperties : public SliderPropertiesInterface<T> {
public:
    SliderProperties(T min = T(), T max = T(), T stepSize = T(1))
        : m_min(min)
        , m_max(max)
        , m_stepSize(stepSize) {}

    SliderProperties(const SliderProperties&) = default;
    SliderProperties& operator=(const SliderProperties&) = default;
    ~SliderProperties() override = default;

    T min() const override { return m_min; }
    T max() const override { return m_max; }
    T stepSize() const override { return m_stepSize; }
    void setMin(T min) override { m_min = min; }
    void setMax(T max) override { m_max = max; }
    void setStepSize(T stepSize) override { m_stepSize = stepSize; }

private:
    T m_min;
    T m_max;
    T m_stepSize;
};

} // namespace qelmar::sdk::ui::propertymanager
