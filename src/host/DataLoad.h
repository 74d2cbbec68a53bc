#pragma once

#include "host/KernelDataLoad.h"
#include "host/KernelDataLoadProgress.h"
#include "host/KernelHandle.h"

#include <climits>
#include <cstddef>
#include <string>
#include <vector>

namespace qelmar::sdk {

// Owns a kernel data load (host/KernelDataLoad.h) and frees it on every way out of a scope, so
// that a loader failing halfway loads nothing. Each call returns the kernel call's result: false
// with the reason in QelUtilGetLastErrorMessage. A load the kernel could not allocate, or one
// moved from, holds no handle and every call on it fails.
class DataLoad {
public:
    DataLoad()
        : m_load(QelUtilDataLoadAlloc()) {}

    bool isNull() const noexcept { return m_load.isNull(); }

    bool beginFile(const std::string& path) { return QelUtilDataLoadBeginFile(m_load.get(), path.c_str()); }
    bool beginZone(const std::string& title) { return QelUtilDataLoadBeginZone(m_load.get(), title.c_str()); }
    bool beginTimeStep(const std::string& title) {
        return QelUtilDataLoadBeginTimeStep(m_load.get(), title.c_str());
    }
    // An empty list leaves the points a list.
    bool setDimensions(const std::vector<std::size_t>& dimensions) {
        if (dimensions.empty())
            return true;
        std::vector<long> sizes;
        for (const std::size_t size : dimensions)
            sizes.push_back(size > LONG_MAX ? -1 : static_cast<long>(size));
        return QelUtilDataLoadSetDimensions(m_load.get(), sizes.data(), static_cast<int>(sizes.size()));
    }
    bool addVariable(const std::string& name, const std::vector<double>& values) {
        return QelUtilDataLoadAddVariable(m_load.get(), name.c_str(), values.data(),
                                          static_cast<long>(values.size()));
    }
    bool readDataFile(const std::string& path) {
        return QelUtilDataLoadReadDataFile(m_load.get(), path.c_str());
    }
    bool apply(qelmar::dataload::DataLoadOption option) { return QelUtilDataLoadApply(m_load.get(), option); }

    // Progress and bad files (host/KernelDataLoadProgress.h): false when the host cancelled.
    bool beginReading(const std::vector<std::string>& files) {
        std::vector<const char*> paths;
        paths.reserve(files.size());
        for (const std::string& file : files)
            paths.push_back(file.c_str());
        return QelUtilDataLoadBeginReading(m_load.get(), paths.data(), static_cast<long>(paths.size()));
    }
    bool beginReadingFile(std::size_t index) {
        return QelUtilDataLoadBeginReadingFile(m_load.get(), static_cast<long>(index));
    }
    bool reportBytesRead(long long bytesOfFile) {
        return QelUtilDataLoadReportBytesRead(m_load.get(), bytesOfFile);
    }
    DataLoadBadFileAnswer_e fileFailed(const std::string& reason) {
        return QelUtilDataLoadFileFailed(m_load.get(), reason.c_str());
    }

    // The handle for kernel calls; the load keeps ownership.
    DataLoad_s* getRef() const noexcept { return m_load.get(); }

private:
    KernelHandle<DataLoad_s, QelUtilDataLoadDealloc> m_load;
};

} // namespace qelmar::sdk
