#pragma once

#include "propertyframework/RelevanceInterface.h"

#include <QObject>

class QAction;

namespace qelmar::demo {

// Enables an action exactly while a relevance holds, for as long as the action lives: the
// action owns it.
class ActionFollowingRelevance : public QObject {
public:
    ActionFollowingRelevance(QAction* action, qelmar::sdk::ui::propertymanager::RelevancePtr relevance);

private:
    void apply() const;

    const qelmar::sdk::ui::propertymanager::RelevancePtr m_relevance;
    const boost::signals2::scoped_connection m_connection;
};

} // namespace qelmar::demo
