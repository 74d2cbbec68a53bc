#pragma once

#include "host/DialogsExport.h"

namespace qelmar::dialogs::common {

// What the application does with any dialog: show it, and take it down.
class QELMAR_DIALOGS_EXPORT DialogInterface {
public:
    virtual bool launch() = 0;
    virtual void drop() = 0;
    virtual ~DialogInterface() = default;
};

} // namespace qelmar::dialogs::common
