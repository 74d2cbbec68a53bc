#pragma once

#include <QWidget>

namespace qelmar::testing {

// The widget every test of the window registers it with. The kernel's callback is registered
// once per process, over the first widget given, so all tests of one program share this one,
// as an application's windows share its main window.
inline QWidget& postLoadWindowHost() {
    static QWidget* widget = new QWidget;
    return *widget;
}

} // namespace qelmar::testing
