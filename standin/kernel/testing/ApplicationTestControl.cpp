#include "kernel/testing/ApplicationTestControl.h"

#include "kernel/ApplicationModel.h"
#include "kernel/DataFileFormat.h"
#include "kernel/LayoutFileFormat.h"
#include "kernel/LayoutPackage.h"
#include "kernel/SafeFile.h"
#include "kernel/StartupFolder.h"
#include "kernel/StateChange.h"

namespace qelmar::standin::testing {

namespace {

ApplicationModel& model() {
    return ApplicationModel::instance();
}

DataValues toKernel(const DataSetContents& contents) {
    return {contents.title, contents.variableNames, contents.values, {}};
}

DataSetContents fromKernel(const DataValues& values) {
    return {values.title, values.variableNames, values.values};
}

LayoutRecord fromKernel(const LayoutDocument& document) {
    LayoutRecord record;
    record.relativePaths = document.relativePaths;
    for (const auto& page : document.pages) {
        auto& pageRecord = record.pages.emplace_back();
        pageRecord.name = page.name;
        for (const auto& frame : page.frames)
            pageRecord.frames.push_back({frame.name, frame.plotType,
                                         frame.dataFiles.empty() ? std::string() : frame.dataFiles.front(),
                                         frame.dataFiles});
    }
    return record;
}

DataSet& dataSetOf(int frame) {
    auto& dataSet = model().frame(frame).dataSet;
    if (!dataSet)
        throw std::out_of_range("Frame " + std::to_string(frame) + " has no data set.");
    return *dataSet;
}

void changeLayout(StateChange_e kind) {
    model().layout().dirty = true;
    notifyStateChange(kind);
}

} // namespace

ApplicationTestControl::ApplicationTestControl() {
    model().clear();
    setWriteFailureAfterBytes(-1);
}

ApplicationTestControl::~ApplicationTestControl() {
    model().clear();
    setWriteFailureAfterBytes(-1);
    qelmar::standin::setStartupFolder(std::string());
}

void ApplicationTestControl::setStartupFolder(const std::string& folder) {
    qelmar::standin::setStartupFolder(folder);
}

std::string ApplicationTestControl::startupFolder() {
    return qelmar::standin::startupFolder();
}

int ApplicationTestControl::addPage(const std::string& name) {
    return model().addPage(name);
}

int ApplicationTestControl::addFrame(int page, const std::string& name, int plotType) {
    return model().addFrame(page, name, plotType);
}

void ApplicationTestControl::removeFrame(int frame) {
    model().removeFrame(frame);
}

void ApplicationTestControl::setFramePlacement(int frame, double left, double top, double width,
                                               double height) {
    model().setFramePlacement(frame, QRectF(left, top, width, height));
}

long ApplicationTestControl::attachDataSet(int frame, const DataSetContents& contents, bool journaled,
                                           const std::string& dataFile) {
    return model().attachDataSet(frame, toKernel(contents), journaled, dataFile);
}

void ApplicationTestControl::setLaterTimeSteps(int frame, const std::vector<DataSetContents>& steps) {
    std::vector<DataValues> values;
    values.reserve(steps.size());
    for (const DataSetContents& step : steps)
        values.push_back(toKernel(step));
    model().setLaterTimeSteps(frame, std::move(values));
}

int ApplicationTestControl::timeStepCount() const {
    return model().timeStepCount();
}

int ApplicationTestControl::currentTimeStep() const {
    return model().currentTimeStep();
}

void ApplicationTestControl::setCurrentTimeStep(int step) {
    model().setCurrentTimeStep(step);
}

void ApplicationTestControl::changeDataSetWithoutJournal(int frame) {
    DataSet& dataSet = dataSetOf(frame);
    // A visible change, so that a stale data file on disk can be told from the data set.
    for (auto& variable : dataSet.contents.values) {
        for (double& value : variable)
            value = -value + 1.0;
    }
    dataSet.journalValid = false;
    changeLayout(StateChange_DataSetsAltered);
}

bool ApplicationTestControl::dataSetJournalIsValid(int frame) const {
    return dataSetOf(frame).journalValid;
}

std::string ApplicationTestControl::dataSetFile(int frame) const {
    const auto& files = dataSetOf(frame).dataFiles;
    return files.empty() ? std::string() : files.front();
}

void ApplicationTestControl::setCurrentFrame(int frame) {
    model().setCurrentFrame(frame);
}

int ApplicationTestControl::currentFrame() const {
    const Frame* frame = model().currentFrame();
    return frame ? frame->id : -1;
}

std::vector<int> ApplicationTestControl::framesInWalkOrder() const {
    return model().allPagesOrder();
}

void ApplicationTestControl::setLayoutDirty(bool dirty) {
    model().layout().dirty = dirty;
}

void ApplicationTestControl::setLayoutHasStyle(bool hasStyle) {
    model().layout().hasStyle = hasStyle;
}

void ApplicationTestControl::setOkToAutoSaveLayout(bool ok) {
    model().layout().okToAutoSave = ok;
}

void ApplicationTestControl::setCurrentLayoutFileName(const std::string& fileName) {
    model().layout().fileName = fileName;
    notifyStateChange(StateChange_LayoutFile);
}

std::string ApplicationTestControl::currentLayoutFileName() const {
    return model().layout().fileName;
}

void ApplicationTestControl::failWritesAfterBytes(long long bytes) {
    setWriteFailureAfterBytes(bytes);
}

DataSetContents ApplicationTestControl::readDataFile(const std::string& path) {
    return fromKernel(standin::readDataFile(path).first());
}

LayoutRecord ApplicationTestControl::readLayoutFile(const std::string& path) {
    return fromKernel(standin::readLayoutFile(path));
}

std::vector<std::string> ApplicationTestControl::packageEntries(const std::string& path) {
    return readPackageEntryNames(path);
}

std::string ApplicationTestControl::packageEntry(const std::string& path, const std::string& entry) {
    return readPackageEntry(path, entry).toStdString();
}

LayoutRecord ApplicationTestControl::readPackagedLayout(const std::string& path) {
    return fromKernel(standin::readPackagedLayout(path));
}

} // namespace qelmar::standin::testing
