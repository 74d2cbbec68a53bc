#include "host/LabelPropertyBinding.h"

#include "host/WidgetBindingCore.h"

#include <QLabel>
#include <QPointer>

namespace qelmar::sdk::ui::dialogs {

struct LabelPropertyBinding::Impl {
    Impl(LabelPropertyBinding& binding, QLabel* boundLabel,
         std::shared_ptr<const PropertyAbstract<std::string>> boundProperty, WidgetUpdateMode_e mode)
        : property(std::move(boundProperty))
        , label(boundLabel)
        , core(boundLabel, mode, [this] { showValue(); }) {
        core.followStatesOf(binding);
    }

    void showValue() {
        if (label)
            label->setText(QString::fromStdString(property->retrieveValue()));
    }

    std::shared_ptr<const PropertyAbstract<std::string>> property;
    QPointer<QLabel> label;
    WidgetBindingCore core;
};

LabelPropertyBinding::LabelPropertyBinding(QLabel* label,
                                           std::shared_ptr<const PropertyAbstract<std::string>> property,
                                           WidgetUpdateMode_e mode)
    : m_impl(std::make_unique<Impl>(*this, label, std::move(property), mode)) {
    m_impl->core.listenTo(*m_impl->property);
    m_impl->core.updateWidgetNow();
}

LabelPropertyBinding::~LabelPropertyBinding() = default;

void LabelPropertyBinding::updateWidget() {
    m_impl->core.updateWidgetNow();
}

} // namespace qelmar::sdk::ui::dialogs
