#pragma once

// What the tour does in the "Variable Load and Combine" window, as a user would.

#include <QString>

class QListView;

namespace qelmar::demo {

class TourContext;

extern const QString matchTitle;

// The row that shows the name; the lists show HTML, the to-load list with the variable's number.
int rowNamed(const QListView& view, const QString& name);
// Selects the row showing the name as the only selected row; fails the tour when none does.
bool selectRow(TourContext& tour, QListView& view, const QString& name);

} // namespace qelmar::demo
