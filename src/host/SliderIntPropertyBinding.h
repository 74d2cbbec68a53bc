#pragma once

#include "host/PropertyBindingInterface.h"
#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/SliderProperties.h"

#include <memory>

class QAbstractSlider;

namespace qelmar::sdk::ui::dialogs {

// Ties a slider to an integer property; an optional second property gives the slider's range
// and step, so that the range can follow other choices of the dialog. Moving the slider sets
// the value; a value outside the range is shown at the nearest end without being changed.
class SliderIntPropertyBinding : public virtual PropertyBindingInterface {
public:
    using RangePtr = std::shared_ptr<const PropertyAbstract<propertymanager::SliderProperties<long>>>;

    SliderIntPropertyBinding(QAbstractSlider* slider, PropertyPtr<long> property, RangePtr range = nullptr,
                             WidgetUpdateMode_e mode = WidgetUpdate_Immediate);
    ~SliderIntPropertyBinding() override;

    void updateWidget();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
