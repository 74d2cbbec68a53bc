#pragma once

namespace qelmar::sdk::ui::propertymanager {

// The range and the step of a slider.
template <typename T> class SliderPropertiesInterface {
public:
    virtual T min() const = 0;
    virtual T max() const = 0;
    virtual T stepSize() const = 0;
    virtual void setMin(T min) = 0;
    virtual void setMax(T max) = 0;
    virtual void setStepSize(T stepSize) = 0;
    virtual bool operator==(const SliderPropertiesInterface& other) const {
        return min() == other.min() && max() == other.max() && stepSize() == other.stepSize();
    }
    virtual bool operator!=(const SliderPropertiesInterface& other) const { return !(*this == other); }
    virtual ~SliderPropertiesInterface() = default;

protected:
    SliderPropertiesInterface() = default;
    SliderPropertiesInterface(const SliderPropertiesInterface&) = default;
    SliderPropertiesInterface& operator=(const SliderPropertiesInterface&) = default;
};

} // namespace qelmar::sdk::ui::propertymanager
