#include "loaders/LoaderSupport.h"

#include "host/KernelErrors.h"
#include "host/KernelString.h"

#include <stdexcept>

namespace qelmar::standin {

namespace {

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

} // namespace qelmar::standin
