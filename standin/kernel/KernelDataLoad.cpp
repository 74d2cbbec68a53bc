#include "host/KernelDataLoad.h"

#include "kernel/DataFileFormat.h"
#include "kernel/DataLoading.h"
#include "kernel/KernelState.h"
#include "kernel/LastError.h"

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

using qelmar::standin::DataValues;
using qelmar::standin::KernelState;
using qelmar::standin::LoadedFile;

// The zones collected so far, each with the file it came from, in the form the kernel loads.
struct DataLoad_s {
    std::vector<LoadedFile> zones;
    bool fileBegun = false;
    std::string path;
    int zonesInFile = 0;
};

namespace {

// A loader that builds a load in the wrong order has a fault, but the user still learns that
// the data could not be loaded and loses nothing.
[[noreturn]] void refuse(const std::string& why) {
    throw std::invalid_argument("The data could not be loaded: " + why + ". Nothing was loaded.");
}

DataLoad_s& loadOf(DataLoad_s* load) {
    if (!load)
        refuse("no data load was given");
    return *load;
}

LoadedFile& currentZone(DataLoad_s& load) {
    if (load.zonesInFile == 0)
        refuse("values were given before a zone was begun");
    return load.zones.back();
}

DataValues& currentStep(DataLoad_s& load) {
    LoadedFile& zone = currentZone(load);
    return zone.laterSteps.empty() ? zone.values : zone.laterSteps.back();
}

std::string textOf(const char* text) {
    return text ? text : "";
}

std::size_t pointsOf(const DataValues& step) {
    return step.values.empty() ? 0 : step.values.front().size();
}

std::string zoneName(const LoadedFile& zone) {
    return "the zone \"" + zone.values.title + "\"" + (zone.path.empty() ? "" : " of " + zone.path);
}

// Dimensions are given before or after the variables, so they are checked against the points
// once the load is complete.
void checkDimensions(const LoadedFile& zone, const DataValues& step) {
    if (step.dimensions.empty())
        return;
    const std::size_t points = pointsOf(step);
    std::size_t product = 1;
    for (const std::size_t size : step.dimensions)
        product = product > points / size ? points + 1 : product * size; // no wrap-around to a match
    if (product != points)
        refuse(zoneName(zone) + " has dimensions that do not multiply to its " +
               std::to_string(pointsOf(step)) + " points");
}

// The kernel fits files to each other by their variables, but a zone's steps must have the
// variables of its first step over as many points: they are the same points at other times.
void checkZone(const LoadedFile& zone) {
    checkDimensions(zone, zone.values);
    for (const DataValues& step : zone.laterSteps) {
        if (step.variableNames != zone.values.variableNames || pointsOf(step) != pointsOf(zone.values))
            refuse(zoneName(zone) + " has time steps with other variables or points than its first step");
        checkDimensions(zone, step);
    }
}

void beginFile(DataLoad_s& load, std::string path) {
    load.fileBegun = true;
    load.path = std::move(path);
    load.zonesInFile = 0;
}

void beginZone(DataLoad_s& load, DataValues firstStep) {
    if (!load.fileBegun)
        refuse("a zone was begun before its file");
    LoadedFile& zone = load.zones.emplace_back();
    zone.path = load.path;
    zone.values = std::move(firstStep);
    zone.zoneInFile = load.zonesInFile++;
}

// Every kernel call of a data load starts here: journaled and subject to the failure switches,
// and whatever goes wrong inside becomes false with a reason, never an exception across the flat
// interface. `clearsReason` for the calls that read a file or load, which own the reason.
template <typename Body> bool guardedCall(const char* call, bool clearsReason, Body body) {
    if (clearsReason)
        qelmar::standin::clearLastErrorMessage();
    if (!KernelState::instance().beginCall(call))
        return false;
    try {
        return body();
    } catch (const std::bad_alloc&) {
        qelmar::standin::setLastErrorMessage(
            "The data is too large to load: it needs more memory than is free. Nothing was loaded.");
    } catch (const std::exception& failure) {
        qelmar::standin::setLastErrorMessage(failure.what());
    }
    return false;
}

} // namespace

DataLoad_s* QelUtilDataLoadAlloc() {
    if (!KernelState::instance().beginCall("QelUtilDataLoadAlloc"))
        return nullptr;
    auto* load = new (std::nothrow) DataLoad_s;
    if (!load)
        qelmar::standin::setLastErrorMessage("There is not enough memory to load data.");
    return load;
}

// Releasing cannot fail: the switch only journals it, so that a test switching it off leaks nothing.
void QelUtilDataLoadDealloc(DataLoad_s** load) {
    KernelState::instance().beginCall("QelUtilDataLoadDealloc");
    if (!load)
        return;
    delete *load;
    *load = nullptr;
}

bool QelUtilDataLoadBeginFile(DataLoad_s* load, const char* path) {
    return guardedCall("QelUtilDataLoadBeginFile", false, [&] {
        beginFile(loadOf(load), textOf(path));
        return true;
    });
}

bool QelUtilDataLoadBeginZone(DataLoad_s* load, const char* title) {
    return guardedCall("QelUtilDataLoadBeginZone", false, [&] {
        DataValues firstStep;
        firstStep.title = textOf(title);
        beginZone(loadOf(load), std::move(firstStep));
        return true;
    });
}

bool QelUtilDataLoadBeginTimeStep(DataLoad_s* load, const char* title) {
    return guardedCall("QelUtilDataLoadBeginTimeStep", false, [&] {
        currentZone(loadOf(load)).laterSteps.emplace_back().title = textOf(title);
        return true;
    });
}

bool QelUtilDataLoadSetDimensions(DataLoad_s* load, const long* dimensions, int rank) {
    return guardedCall("QelUtilDataLoadSetDimensions", false, [&] {
        DataValues& step = currentStep(loadOf(load));
        if (rank < 1 || rank > 3 || !dimensions)
            refuse("an ordered zone needs one to three dimensions");
        std::vector<std::size_t> sizes;
        for (int at = 0; at < rank; ++at) {
            if (dimensions[at] < 1)
                refuse("an ordered zone's dimensions must be positive");
            sizes.push_back(static_cast<std::size_t>(dimensions[at]));
        }
        step.dimensions = std::move(sizes);
        return true;
    });
}

bool QelUtilDataLoadAddVariable(DataLoad_s* load, const char* name, const double* values, long count) {
    return guardedCall("QelUtilDataLoadAddVariable", false, [&] {
        DataValues& step = currentStep(loadOf(load));
        if (count < 0 || (count > 0 && !values))
            refuse("a variable's values were missing");
        const auto points = static_cast<std::size_t>(count);
        if (!step.values.empty() && points != pointsOf(step))
            refuse("the variable " + textOf(name) + " has " + std::to_string(points) +
                   " values where the other variables of its zone have " + std::to_string(pointsOf(step)));
        step.values.emplace_back(values, values + points);
        step.variableNames.push_back(textOf(name));
        return true;
    });
}

bool QelUtilDataLoadReadDataFile(DataLoad_s* load, const char* path) {
    return guardedCall("QelUtilDataLoadReadDataFile", true, [&] {
        DataLoad_s& target = loadOf(load);
        // Until the file is read there is no current file: values meant for a refused one must
        // not land in the file before it.
        target.fileBegun = false;
        target.zonesInFile = 0;
        qelmar::standin::DataFileContents contents;
        try {
            contents = qelmar::standin::readDataFile(textOf(path));
        } catch (const std::bad_alloc&) {
            throw std::runtime_error(textOf(path) +
                                     " is too large to load: its values need more memory than is free.");
        }
        const std::size_t zonesBefore = target.zones.size();
        try {
            beginFile(target, textOf(path));
            for (auto& steps : contents.zones) {
                beginZone(target, std::move(steps.front()));
                target.zones.back().laterSteps.assign(std::make_move_iterator(steps.begin() + 1),
                                                      std::make_move_iterator(steps.end()));
            }
        } catch (...) {
            // Half a file would load as if it were the whole one.
            target.zones.resize(zonesBefore);
            target.fileBegun = false;
            target.zonesInFile = 0;
            throw;
        }
        return true;
    });
}

bool QelUtilDataLoadApply(DataLoad_s* load, qelmar::dataload::DataLoadOption option) {
    return guardedCall("QelUtilDataLoadApply", true, [&] {
        DataLoad_s& source = loadOf(load);
        std::vector<LoadedFile> zones = std::move(source.zones);
        source = DataLoad_s();
        for (const LoadedFile& zone : zones)
            checkZone(zone);
        return qelmar::standin::loadData(std::move(zones), option);
    });
}

bool QelUtilSetLastErrorMessage(const char* message) {
    if (!KernelState::instance().beginCall("QelUtilSetLastErrorMessage"))
        return false;
    qelmar::standin::setLastErrorMessage(textOf(message));
    return true;
}
