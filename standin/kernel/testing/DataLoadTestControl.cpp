#include "kernel/testing/DataLoadTestControl.h"

#include "kernel/DataLoading.h"

namespace qelmar::standin::testing {

SlowDataLoads::SlowDataLoads(std::chrono::milliseconds delayPerFile) {
    setDataLoadDelayPerFile(delayPerFile);
}

SlowDataLoads::~SlowDataLoads() {
    setDataLoadDelayPerFile(std::chrono::milliseconds{0});
}

} // namespace qelmar::standin::testing
