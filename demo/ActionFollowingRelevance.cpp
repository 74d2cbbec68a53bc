#include "ActionFollowingRelevance.h"

#include <QAction>

namespace qelmar::demo {

ActionFollowingRelevance::ActionFollowingRelevance(QAction* action,
                                                   qelmar::sdk::ui::propertymanager::RelevancePtr relevance)
    : QObject(action)
    , m_relevance(std::move(relevance))
    , m_connection(m_relevance->connectToRelevanceChangedSignal([this] { apply(); })) {
    apply();
}

void ActionFollowingRelevance::apply() const {
    static_cast<QAction*>(parent())->setEnabled(m_relevance->isRelevant());
}

} // namespace qelmar::demo
