#pragma once

#include <QtGlobal>

// Marks what the dialogs library offers a host; everything else stays inside the library.
#if defined(QELMAR_DIALOGS_LIBRARY)
#define QELMAR_DIALOGS_EXPORT Q_DECL_EXPORT
#else
#define QELMAR_DIALOGS_EXPORT Q_DECL_IMPORT
#endif
