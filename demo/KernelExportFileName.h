#pragma once

#include "host/StringList.h"
#include "host/StyleValue.h"
#include "styleproperties/KernelProperty.h"

#include <QString>

namespace qelmar::demo {

// The file the kernel exports to next: the name the export dialog stored when it was accepted.
inline QString kernelExportFileName() {
    using qelmar::sdk::styleproperties::KernelProperty;
    using qelmar::toolbox::StringList;
    using qelmar::toolbox::StyleValue;
    return QString::fromStdString(
        KernelProperty<std::string>(StyleValue(StringList{"ExportSetup", "ExportFName"})).retrieveValue());
}

} // namespace qelmar::demo
