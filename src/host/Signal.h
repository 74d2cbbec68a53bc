#pragma once

#include <boost/signals2/signal.hpp>

namespace qelmar {

// The signal type of every property, relevance and model. Slots are grouped by an integer
// priority: groups are notified in ascending order, within a group in connection order.
template <typename Signature>
using Signal = boost::signals2::signal<Signature>;

using NotificationPriority = int;

} // namespace qelmar
