#include "host/KernelDataLoad.h"
#include "host/KernelDataLoadProgress.h"

#include "kernel/DataFileFormat.h"
#include "kernel/DataLoading.h"
#include "kernel/KernelState.h"
#include "kernel/LastError.h"

#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <chrono>
#include <exception>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using qelmar::standin::DataValues;
using qelmar::standin::KernelState;
using qelmar::standin::LoadedFile;

namespace {

// One announced file of a load and what became of it.
struct FileRecord {
    std::string path;
    long long bytes = 0;
    DataLoadFileOutcome_e outcome = DataLoadFile_NotLoaded;
    std::string reason;
};

// The files a loader announced, how far it has read them and what the host decided.
struct Reading {
    std::vector<FileRecord> files;
    long current = -1;
    std::size_t zonesBeforeCurrent = 0;
    long long bytesBeforeCurrent = 0; // of the files done
    long long bytesOfCurrent = 0;
    long long bytesTotal = 0;
    bool cancelled = false;
    bool skipAll = false;
};

} // namespace

// The zones collected so far, each with the file it came from, in the form the kernel loads.
struct DataLoad_s {
    std::vector<LoadedFile> zones;
    bool fileBegun = false;
    std::string path;
    int zonesInFile = 0;
    std::optional<Reading> reading; // only for a loader that announced its files
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

// ---- Progress, cancel and bad files ----------------------------------------------------------

struct ProgressCallback {
    QelDataLoadProgressCallback_pf callback = nullptr;
    void* clientData = nullptr;
};

struct BadFileCallback {
    QelDataLoadBadFileCallback_pf callback = nullptr;
    void* clientData = nullptr;
};

// Like the match-variables callback, the registrations are the application's wiring, not kernel
// state: a kernel reset keeps them, since the application registers once.
ProgressCallback& progressCallback() {
    static ProgressCallback installed;
    return installed;
}

BadFileCallback& badFileCallback() {
    static BadFileCallback installed;
    return installed;
}

// What the most recent load of announced files did with them.
struct LastLoad {
    std::vector<FileRecord> files;
    bool applied = false;
};

LastLoad& lastLoad() {
    static LastLoad last;
    return last;
}

std::chrono::milliseconds& delayPerFile() {
    static std::chrono::milliseconds delay{0};
    return delay;
}

const qelmar::standin::ResetRegistration resetLoadReports{[] {
    lastLoad() = {};
    delayPerFile() = std::chrono::milliseconds{0};
}};

Reading& readingOf(DataLoad_s& load) {
    if (!load.reading)
        refuse("a file was read before the load's files were announced");
    return *load.reading;
}

long filesDone(const Reading& reading) {
    return reading.current < 0 ? 0 : reading.current;
}

// Asks the host whether to go on; a cancel sticks for the rest of the load.
bool tellProgress(Reading& reading, DataLoadPhase_e phase, long long bytesOfCurrent) {
    if (reading.cancelled)
        return false;
    const ProgressCallback installed = progressCallback();
    if (!installed.callback)
        return true;
    const bool atFile = phase == DataLoadPhase_Reading && reading.current >= 0 &&
                        reading.current < static_cast<long>(reading.files.size());
    const std::string file = atFile ? reading.files[static_cast<std::size_t>(reading.current)].path : "";
    const DataLoadProgress_s progress{
        phase,
        file.c_str(),
        phase == DataLoadPhase_Reading ? filesDone(reading) : static_cast<long>(reading.files.size()),
        static_cast<long>(reading.files.size()),
        phase == DataLoadPhase_Reading ? reading.bytesBeforeCurrent + bytesOfCurrent : reading.bytesTotal,
        reading.bytesTotal};
    if (!installed.callback(&progress, installed.clientData) && phase != DataLoadPhase_Finished)
        reading.cancelled = true;
    return !reading.cancelled;
}

long long fileSize(const std::string& path) {
    return std::max<long long>(0, QFileInfo(QString::fromStdString(path)).size());
}

std::string baseName(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).fileName().toStdString();
}

// The reader's reason usually names the file already.
std::string describedSkip(const FileRecord& file) {
    const std::string name = baseName(file.path);
    if (file.reason.find(name) != std::string::npos)
        return file.reason;
    return name + ": " + file.reason;
}

std::size_t countOf(const std::vector<FileRecord>& files, DataLoadFileOutcome_e outcome) {
    return static_cast<std::size_t>(std::count_if(
        files.begin(), files.end(), [outcome](const FileRecord& file) { return file.outcome == outcome; }));
}

std::string skippedList(const std::vector<FileRecord>& files) {
    constexpr std::size_t named = 3;
    std::string text;
    std::size_t skipped = 0;
    for (const FileRecord& file : files) {
        if (file.outcome != DataLoadFile_Skipped)
            continue;
        if (skipped++ < named)
            text += (text.empty() ? "" : "; ") + describedSkip(file);
    }
    if (skipped > named)
        text += " and " + std::to_string(skipped - named) + " more";
    return text;
}

std::string summaryOf(const LastLoad& last) {
    if (!last.applied)
        return {};
    const std::size_t total = last.files.size();
    const std::size_t loaded = countOf(last.files, DataLoadFile_Loaded);
    if (loaded == total)
        return "Loaded " + std::to_string(total) + (total == 1 ? " file" : " files");
    return "Loaded " + std::to_string(loaded) + " of " + std::to_string(total) + " files; skipped " +
           skippedList(last.files);
}

// Every file was unreadable and left out: there is nothing to load, and the user learns why.
void refuseAllSkipped(const std::vector<FileRecord>& files) {
    throw std::runtime_error("None of the files could be loaded: " + skippedList(files) +
                             ". Nothing was loaded.");
}

void recordLastLoad(const Reading& reading, bool applied) {
    lastLoad().files = reading.files;
    lastLoad().applied = applied;
    if (applied)
        return;
    for (FileRecord& file : lastLoad().files) {
        if (file.outcome == DataLoadFile_Loaded)
            file.outcome = DataLoadFile_NotLoaded;
    }
}

// The load is over: the host closes its progress window, whatever the outcome.
void finishReading(DataLoad_s& load) {
    if (!load.reading)
        return;
    Reading reading = std::move(*load.reading);
    load.reading.reset();
    reading.cancelled = false;
    tellProgress(reading, DataLoadPhase_Finished, 0);
}

DataLoadBadFileAnswer_e askAboutBadFile(Reading& reading, const FileRecord& file) {
    if (reading.skipAll)
        return DataLoadBadFile_Skip;
    const BadFileCallback installed = badFileCallback();
    if (!installed.callback)
        return DataLoadBadFile_Fail;
    const DataLoadBadFileAnswer_e answer =
        installed.callback(file.path.c_str(), file.reason.c_str(), installed.clientData);
    switch (answer) {
    case DataLoadBadFile_SkipAll:
        reading.skipAll = true;
        return answer;
    case DataLoadBadFile_Skip:
    case DataLoadBadFile_LoadNothing:
        return answer;
    default:
        return DataLoadBadFile_LoadNothing; // an answer the kernel does not know loads nothing
    }
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
    if (!load || !*load)
        return;
    if ((*load)->reading) {
        // Freed without being applied: the loader failed or was cancelled, and nothing loaded.
        recordLastLoad(*(*load)->reading, false);
        finishReading(**load);
    }
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

namespace {

// Records what became of the announced files and tells the host the kernel is at work; throws
// when every file was left out. A load without announced files records nothing.
void recordOutcomes(Reading& reading) {
    if (reading.cancelled)
        return;
    if (!reading.files.empty() && countOf(reading.files, DataLoadFile_Skipped) == reading.files.size())
        refuseAllSkipped(reading.files);
    for (FileRecord& file : reading.files) {
        if (file.outcome == DataLoadFile_NotLoaded)
            file.outcome = DataLoadFile_Loaded;
    }
    tellProgress(reading, DataLoadPhase_Applying, 0);
}

} // namespace

bool QelUtilDataLoadApply(DataLoad_s* load, qelmar::dataload::DataLoadOption option) {
    return guardedCall("QelUtilDataLoadApply", true, [&] {
        DataLoad_s& source = loadOf(load);
        std::vector<LoadedFile> zones = std::move(source.zones);
        std::optional<Reading> reading = std::move(source.reading);
        source = DataLoad_s();
        source.reading = std::move(reading);
        if (source.reading) {
            // A cancelled load is no failure and loads nothing.
            if (source.reading->cancelled) {
                recordLastLoad(*source.reading, false);
                finishReading(source);
                return false;
            }
            try {
                recordOutcomes(*source.reading);
            } catch (...) {
                recordLastLoad(*source.reading, false);
                finishReading(source);
                throw;
            }
        }
        bool loaded = false;
        try {
            for (const LoadedFile& zone : zones)
                checkZone(zone);
            loaded = qelmar::standin::loadData(std::move(zones), option);
        } catch (...) {
            if (source.reading)
                recordLastLoad(*source.reading, false);
            finishReading(source);
            throw;
        }
        if (source.reading)
            recordLastLoad(*source.reading, loaded);
        finishReading(source);
        return loaded;
    });
}

bool QelUtilDataLoadBeginReading(DataLoad_s* load, const char* const* files, long fileCount) {
    return guardedCall("QelUtilDataLoadBeginReading", true, [&] {
        DataLoad_s& target = loadOf(load);
        if (fileCount < 0 || (fileCount > 0 && !files))
            refuse("the files to read were missing");
        lastLoad() = {};
        Reading reading;
        for (long index = 0; index < fileCount; ++index) {
            FileRecord& file = reading.files.emplace_back();
            file.path = textOf(files[index]);
            file.bytes = fileSize(file.path);
            reading.bytesTotal += file.bytes;
        }
        target.reading = std::move(reading);
        return tellProgress(*target.reading, DataLoadPhase_Reading, 0);
    });
}

bool QelUtilDataLoadBeginReadingFile(DataLoad_s* load, long index) {
    return guardedCall("QelUtilDataLoadBeginReadingFile", true, [&] {
        DataLoad_s& target = loadOf(load);
        Reading& reading = readingOf(target);
        if (index < 0 || index >= static_cast<long>(reading.files.size()))
            refuse("a file was read that the load had not announced");
        if (reading.cancelled)
            return false;
        reading.bytesBeforeCurrent = 0;
        for (long done = 0; done < index; ++done)
            reading.bytesBeforeCurrent += reading.files[static_cast<std::size_t>(done)].bytes;
        reading.current = index;
        reading.bytesOfCurrent = reading.files[static_cast<std::size_t>(index)].bytes;
        reading.zonesBeforeCurrent = target.zones.size();
        // A test knob that lets a scripted tour see the progress window; zero in normal runs.
        if (delayPerFile().count() > 0)
            std::this_thread::sleep_for(delayPerFile());
        return tellProgress(reading, DataLoadPhase_Reading, 0);
    });
}

bool QelUtilDataLoadReportBytesRead(DataLoad_s* load, long long bytesOfFile) {
    return guardedCall("QelUtilDataLoadReportBytesRead", true, [&] {
        Reading& reading = readingOf(loadOf(load));
        return tellProgress(reading, DataLoadPhase_Reading,
                            std::clamp(bytesOfFile, 0LL, reading.bytesOfCurrent));
    });
}

DataLoadBadFileAnswer_e QelUtilDataLoadFileFailed(DataLoad_s* load, const char* reason) {
    DataLoadBadFileAnswer_e answer = DataLoadBadFile_Fail;
    guardedCall("QelUtilDataLoadFileFailed", false, [&] {
        DataLoad_s& target = loadOf(load);
        Reading& reading = readingOf(target);
        if (reading.current < 0)
            refuse("a file failed before it was begun");
        // Half a file would load as if it were the whole one.
        target.zones.resize(std::min(target.zones.size(), reading.zonesBeforeCurrent));
        target.fileBegun = false;
        target.zonesInFile = 0;
        FileRecord& file = reading.files[static_cast<std::size_t>(reading.current)];
        file.reason = textOf(reason);
        answer = askAboutBadFile(reading, file);
        if (answer == DataLoadBadFile_Skip || answer == DataLoadBadFile_SkipAll)
            file.outcome = DataLoadFile_Skipped;
        if (answer == DataLoadBadFile_LoadNothing)
            reading.cancelled = true;
        return true;
    });
    return answer;
}

void QelUtilDataLoadSetProgressCallback(QelDataLoadProgressCallback_pf callback, void* clientData) {
    KernelState::instance().beginCall("QelUtilDataLoadSetProgressCallback");
    progressCallback() = {callback, callback ? clientData : nullptr};
}

void QelUtilDataLoadSetBadFileCallback(QelDataLoadBadFileCallback_pf callback, void* clientData) {
    KernelState::instance().beginCall("QelUtilDataLoadSetBadFileCallback");
    badFileCallback() = {callback, callback ? clientData : nullptr};
}

namespace {

const FileRecord* lastFile(long index) {
    const std::vector<FileRecord>& files = lastLoad().files;
    if (index < 0 || index >= static_cast<long>(files.size()))
        return nullptr;
    return &files[static_cast<std::size_t>(index)];
}

} // namespace

long QelUtilDataLoadLastFileCount() {
    if (!KernelState::instance().beginCall("QelUtilDataLoadLastFileCount"))
        return 0;
    return static_cast<long>(lastLoad().files.size());
}

DataLoadFileOutcome_e QelUtilDataLoadLastFileOutcome(long index) {
    if (!KernelState::instance().beginCall("QelUtilDataLoadLastFileOutcome"))
        return DataLoadFile_NotLoaded;
    const FileRecord* file = lastFile(index);
    return file ? file->outcome : DataLoadFile_NotLoaded;
}

char* QelUtilDataLoadLastFilePath(long index) {
    if (!KernelState::instance().beginCall("QelUtilDataLoadLastFilePath"))
        return nullptr;
    const FileRecord* file = lastFile(index);
    return qelmar::standin::allocKernelString(file ? file->path : std::string());
}

char* QelUtilDataLoadLastFileReason(long index) {
    if (!KernelState::instance().beginCall("QelUtilDataLoadLastFileReason"))
        return nullptr;
    const FileRecord* file = lastFile(index);
    return qelmar::standin::allocKernelString(file ? file->reason : std::string());
}

char* QelUtilDataLoadLastSummary() {
    if (!KernelState::instance().beginCall("QelUtilDataLoadLastSummary"))
        return nullptr;
    return qelmar::standin::allocKernelString(summaryOf(lastLoad()));
}

namespace qelmar::standin {

void setDataLoadDelayPerFile(std::chrono::milliseconds delay) {
    delayPerFile() = delay;
}

} // namespace qelmar::standin

bool QelUtilSetLastErrorMessage(const char* message) {
    if (!KernelState::instance().beginCall("QelUtilSetLastErrorMessage"))
        return false;
    qelmar::standin::setLastErrorMessage(textOf(message));
    return true;
}
