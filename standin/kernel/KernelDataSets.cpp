#include "host/KernelDataSets.h"

#include "kernel/ApplicationModel.h"
#include "kernel/ArgListData.h"
#include "kernel/DataFileFormat.h"
#include "kernel/KernelState.h"
#include "kernel/LastError.h"
#include "kernel/StateChange.h"

using qelmar::standin::ApplicationModel;
using qelmar::standin::DataSet;
using qelmar::standin::KernelState;

namespace {

DataSet* currentDataSet() {
    auto* frame = ApplicationModel::instance().currentFrame();
    return frame ? frame->dataSet.get() : nullptr;
}

bool failWith(const std::string& message) {
    qelmar::standin::setLastErrorMessage(message);
    return false;
}

} // namespace

bool QelUtilDataSetIsAvailable() {
    if (!KernelState::instance().beginCall("QelUtilDataSetIsAvailable"))
        return false;
    return currentDataSet() != nullptr;
}

bool QelUtilDataSetJournalIsValid() {
    if (!KernelState::instance().beginCall("QelUtilDataSetJournalIsValid"))
        return false;
    const DataSet* dataSet = currentDataSet();
    return dataSet && dataSet->journalValid;
}

long QelUtilDataSetGetUniqueID() {
    if (!KernelState::instance().beginCall("QelUtilDataSetGetUniqueID"))
        return 0;
    const DataSet* dataSet = currentDataSet();
    return dataSet ? dataSet->id : 0;
}

bool QelUtilDataSetWriteX(ArgList_pa args) {
    qelmar::standin::clearLastErrorMessage();
    if (!KernelState::instance().beginCall("QelUtilDataSetWriteX"))
        return false;
    DataSet* dataSet = currentDataSet();
    if (!dataSet)
        return failWith("There is no data set to write: the current frame has none.");
    const auto fileName = args ? args->findString("FName") : std::nullopt;
    if (!fileName || fileName->empty())
        return failWith("No file name was given for the data file.");
    if (!qelmar::standin::succeedsOrSetsLastError(
            [&] { qelmar::standin::writeDataFile(*fileName, dataSet->allValues()); }))
        return false;
    // Writing keeps the layout clean: the data is the same, it only gained a place to load from,
    // and that one file now holds all of it.
    dataSet->journalValid = true;
    dataSet->dataFiles = {qelmar::standin::absolutePath(*fileName)};
    qelmar::standin::notifyStateChange(StateChange_DataSetsAltered);
    return true;
}
