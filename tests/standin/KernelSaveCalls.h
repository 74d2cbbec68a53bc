#pragma once

// The kernel's save calls as the tests make them, with their argument lists.

#include "host/ArgList.h"
#include "host/KernelDataSets.h"
#include "host/KernelLayout.h"

#include <string>

namespace testsupport {

// Writes the current frame's data set to a data file.
inline bool writeCurrentDataSet(const std::string& file) {
    qelmar::toolbox::ArgList args;
    args.appendString("FName", file);
    return QelUtilDataSetWriteX(args.getRef());
}

// A linked layout (includeData 0) or a package (1).
inline bool saveLayout(const std::string& file, long includeData) {
    qelmar::toolbox::ArgList args;
    args.appendString("FName", file);
    args.appendInt("IncludeData", includeData);
    return QelUtilSaveLayoutX(args.getRef());
}

} // namespace testsupport
