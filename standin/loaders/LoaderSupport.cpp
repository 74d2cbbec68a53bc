#include "loaders/LoaderSupport.h"

#include "host/KernelErrors.h"
#include "host/KernelString.h"

#include <stdexcept>

namespace qelmar::standin {

namespace {

// The load whose file is being read, for readers that report bytes from deep inside a file.
thread_local qelmar::sdk::DataLoad* loadBeingRead = nullptr;

void handOverStep(qelmar::sdk::DataLoad& load, ZoneValues& step) {
    if (step.values.size() != step.variableNames.size())
        throw std::logic_error(step.title + ": the loader read " + std::to_string(step.variableNames.size()) +
                               " variable names but values of " + std::to_string(step.values.size()) +
                               " variables.");
    requireAccepted(load.setDimensions(step.dimensions));
    for (std::size_t variable = 0; variable < step.variableNames.size(); ++variable) {
        requireAccepted(load.addVariable(step.variableNames[variable], step.values[variable]));
        std::vector<double>().swap(step.values[variable]);
    }
}

} // namespace

void setLoadFailure(const std::string& message) {
    QelUtilSetLastErrorMessage(message.c_str());
}

void requireAccepted(bool accepted) {
    if (accepted)
        return;
    const qelmar::sdk::KernelString reason(QelUtilGetLastErrorMessage());
    throw std::runtime_error(reason.isEmpty()
                                 ? "The data could not be handed to the application; nothing was loaded."
                                 : reason.str());
}

void handOver(qelmar::sdk::DataLoad& load, FileZone zone) {
    requireAccepted(load.beginFile(zone.path));
    requireAccepted(load.beginZone(zone.values.title));
    handOverStep(load, zone.values);
    for (ZoneValues& step : zone.laterSteps) {
        requireAccepted(load.beginTimeStep(step.title));
        handOverStep(load, step);
    }
}

void reportBytesRead(long long bytesOfFile) {
    if (loadBeingRead && !loadBeingRead->reportBytesRead(bytesOfFile))
        throw LoadCancelled{};
}

namespace detail {

void requireNotCancelled(bool goOn) {
    if (goOn)
        return;
    const qelmar::sdk::KernelString reason(QelUtilGetLastErrorMessage());
    if (reason.isEmpty())
        throw LoadCancelled{};
    throw std::runtime_error(reason.str());
}

void skipOrStop(qelmar::sdk::DataLoad& load, const std::string& reason) {
    switch (load.fileFailed(reason)) {
    case DataLoadBadFile_Skip:
    case DataLoadBadFile_SkipAll:
        return;
    case DataLoadBadFile_LoadNothing:
        throw LoadCancelled{};
    default:
        throw std::runtime_error(reason);
    }
}

ReadingFileScope::ReadingFileScope(qelmar::sdk::DataLoad& load)
    : m_previous(loadBeingRead) {
    loadBeingRead = &load;
}

ReadingFileScope::~ReadingFileScope() {
    loadBeingRead = m_previous;
}

} // namespace detail

} // namespace qelmar::standin
