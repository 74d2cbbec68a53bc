#pragma once

#include "host/DialogsExport.h"

class QWidget;

namespace qelmar::dialogs::io {

// Lets the user point at a data file of a layout after the data moved. Once registered, the
// kernel asks whenever a linked layout it opens misses data files at every place it recorded;
// the user picks one of them in a file dialog, and the kernel finds the others by the same
// change of folder, asking again only for those it still cannot find.
class QELMAR_DIALOGS_EXPORT LayoutDataLocator {
public:
    LayoutDataLocator() = delete;

    // Registers the kernel callback once; later calls do nothing. The parent must outlive the
    // registration: the callback opens the file dialog over it.
    static void registerCallback(QWidget& parent);
};

} // namespace qelmar::dialogs::io
