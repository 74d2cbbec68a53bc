#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace qelmar::dialogs::io {

// The kernel asks its questions while a load or an opening may have set a busy cursor; the user
// gets the arrow pointer for as long as the question is up, whichever way the question ends.
class ArrowCursorWhileAsking {
public:
    ArrowCursorWhileAsking() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
    ArrowCursorWhileAsking(const ArrowCursorWhileAsking&) = delete;
    ArrowCursorWhileAsking& operator=(const ArrowCursorWhileAsking&) = delete;
    ~ArrowCursorWhileAsking() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace qelmar::dialogs::io
