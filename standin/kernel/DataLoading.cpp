#include "kernel/DataLoading.h"

#include "host/KernelMessages.h"
#include "host/StringList.h"
#include "kernel/ApplicationModel.h"
#include "kernel/LastError.h"
#include "kernel/MatchVariables.h"
#include "kernel/StateChange.h"
#include "kernel/VarNameMatching.h"
#include "kernel/VariableFilling.h"

#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <set>

namespace qelmar::standin {

namespace {

using qelmar::dataload::DataLoadOption;
using qelmar::toolbox::StringList;

std::size_t pointCount(const DataValues& values) {
    return values.values.empty() ? 0 : values.values.front().size();
}

std::string fileNameOf(const LoadedFile& file) {
    if (file.path.empty())
        return file.values.title;
    return QFileInfo(QString::fromStdString(file.path)).fileName().toStdString();
}

std::string fileNameOf(const DataSet& dataSet) {
    if (dataSet.dataFiles.empty())
        return dataSet.contents.title;
    return QFileInfo(QString::fromStdString(dataSet.dataFiles.front())).fileName().toStdString();
}

// Same variables under the kernel's name matching, in whatever order: each of b's names leads to
// its own variable of a.
bool sameVariables(const VariableNames& a, const VariableNames& b) {
    if (a.size() != b.size())
        return false;
    const StringList list = listOf(a);
    std::vector<bool> taken(a.size(), false);
    for (const VarNameMatch& match : matchVarNames(*list.getRef(), b)) {
        if (match.offset < 0 || taken[static_cast<std::size_t>(match.offset)])
            return false;
        taken[static_cast<std::size_t>(match.offset)] = true;
    }
    return true;
}

// The names of `own` whose values no variable would take. A repeated name counts once: no list
// of variables can keep two variables of one name apart.
VariableNames leftOut(const Variables& variables, const VariableNames& own) {
    std::vector<bool> taken(own.size(), false);
    for (const int source : sourcesOf(variables, own)) {
        if (source >= 0)
            taken[static_cast<std::size_t>(source)] = true;
    }
    VariableNames names;
    std::set<std::string> seen;
    for (std::size_t name = 0; name < own.size(); ++name) {
        if (seen.insert(trimmedVarName(own[name])).second && !taken[name])
            names.push_back(own[name]);
    }
    return names;
}

// The values with exactly the given variables, each filled from the first of the values' own
// variables that designates it; a variable nothing fills is NaN at every point.
DataValues fittedTo(const Variables& variables, DataValues values) {
    if (values.variableNames == variables.names)
        return values;
    const std::vector<int> sources = sourcesOf(variables, values.variableNames);
    DataValues fitted;
    fitted.title = values.title;
    fitted.variableNames = variables.names;
    const std::size_t points = pointCount(values);
    for (int source : sources) {
        if (source < 0)
            fitted.values.emplace_back(points, std::numeric_limits<double>::quiet_NaN());
        else
            fitted.values.push_back(std::move(values.values[static_cast<std::size_t>(source)]));
    }
    return fitted;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// Fitting keeps an ordered zone's shape: the points stay, only the variables change.
DataValues fittedKeepingShape(const Variables& variables, DataValues values) {
    std::vector<std::size_t> dimensions = values.dimensions;
    DataValues fitted = fittedTo(variables, std::move(values));
    fitted.dimensions = std::move(dimensions);
    return fitted;
}

struct Zones {
    std::vector<std::vector<DataValues>> steps; // of every zone, the first step first
    // No variable was renamed, reordered, left out or filled with NaN: the zones are what the
    // files hold.
    bool asRead = true;
};

// Every file as a zone with the given variables, through all of its time steps.
Zones zonesWith(const Variables& variables, std::vector<LoadedFile> files) {
    Zones zones;
    for (LoadedFile& file : files) {
        auto& steps = zones.steps.emplace_back();
        steps.reserve(file.laterSteps.size() + 1);
        zones.asRead = zones.asRead && file.values.variableNames == variables.names;
        steps.push_back(fittedKeepingShape(variables, std::move(file.values)));
        for (DataValues& step : file.laterSteps) {
            zones.asRead = zones.asRead && step.variableNames == variables.names;
            steps.push_back(fittedKeepingShape(variables, std::move(step)));
        }
    }
    return zones;
}

// Absolute paths of the files, each once however many zones it brought.
std::vector<std::string> pathsOf(const std::vector<LoadedFile>& files) {
    std::vector<std::string> paths;
    for (const LoadedFile& file : files) {
        if (file.zoneInFile == 0 && !file.path.empty())
            paths.push_back(absolutePath(file.path));
    }
    return paths;
}

bool allFromFiles(const std::vector<LoadedFile>& files) {
    return std::all_of(files.begin(), files.end(), [](const LoadedFile& file) { return !file.path.empty(); });
}

// Without a callback to ask, the data keeps the variables it has and the user learns which
// files had others.
void tellAboutDifferingFiles(const VariableNames& variables, const std::vector<LoadedFile>& files,
                             const std::string& variablesFrom) {
    std::vector<std::string> differing;
    for (const LoadedFile& file : files) {
        if (!sameVariables(file.values.variableNames, variables))
            differing.push_back(fileNameOf(file));
    }
    if (differing.empty())
        return;
    const std::string message = "The variables of " + joined(differing) + " differ from those of " +
                                variablesFrom + ". The data keeps the variables of " + variablesFrom +
                                "; values of variables it does not have are left out.";
    QelUtilDialogMessageBox(message.c_str(), MessageBox_Information);
}

// What the user knows a file's list as in the window: a file of several zones names its zone.
std::string sourceNameOf(const std::vector<LoadedFile>& files, std::size_t index) {
    const LoadedFile& file = files[index];
    const bool severalZones =
        file.zoneInFile > 0 ||
        (index + 1 < files.size() && files[index + 1].zoneInFile > 0 && files[index + 1].path == file.path);
    if (!severalZones)
        return fileNameOf(file);
    return fileNameOf(file) + " (zone " + std::to_string(file.zoneInFile + 1) + ")";
}

// What the registered callback decided for files whose variables differ from `existing`.
struct Matching {
    bool cancelled = false;
    std::optional<Variables> chosen; // empty when the callback was not asked
};

Matching matchIfVariablesDiffer(const VariableNames& existing, const std::string& existingName,
                                const std::vector<LoadedFile>& files, std::size_t firstIncoming) {
    const bool differ = std::any_of(
        files.begin() + static_cast<long>(firstIncoming), files.end(),
        [&](const LoadedFile& file) { return !sameVariables(existing, file.values.variableNames); });
    if (!differ || !hasMatchVariablesCallback())
        return {};
    const StringList existingList = listOf(existing);
    std::vector<StringList> incomingLists;
    std::vector<StringList_s*> incoming;
    std::vector<std::string> sourceNames{existingName};
    for (std::size_t file = firstIncoming; file < files.size(); ++file) {
        incomingLists.push_back(listOf(files[file].values.variableNames));
        sourceNames.push_back(sourceNameOf(files, file));
    }
    for (const StringList& list : incomingLists)
        incoming.push_back(list.getRef());
    StringList_s* answer = matchVariables(existingList.getRef(), incoming.data(),
                                          static_cast<long>(incoming.size()), sourceNames);
    if (!answer)
        return {true, std::nullopt};
    return {false, variablesOf(StringList(answer), existing)};
}

// Journaled against its files only when loading them again gives exactly this data set.
std::shared_ptr<DataSet> newDataSet(const Variables& variables, std::vector<LoadedFile> files) {
    auto dataSet = std::make_shared<DataSet>();
    dataSet->id = ApplicationModel::nextDataSetId();
    dataSet->dataFiles = pathsOf(files);
    const bool fromFiles = allFromFiles(files);
    Zones zones = zonesWith(variables, std::move(files));
    dataSet->journalValid = fromFiles && zones.asRead;
    DataFileContents values;
    values.zones = std::move(zones.steps);
    dataSet->setAllValues(std::move(values));
    return dataSet;
}

// The data set's own values take the chosen variables too, so that every zone and step has them.
void refitDataSet(DataSet& dataSet, const Variables& variables) {
    dataSet.contents = fittedKeepingShape(variables, std::move(dataSet.contents));
    for (DataValues& step : dataSet.laterSteps)
        step = fittedKeepingShape(variables, std::move(step));
    for (DataValues& zone : dataSet.laterZones)
        zone = fittedKeepingShape(variables, std::move(zone));
    for (auto& zoneSteps : dataSet.laterZoneSteps) {
        for (DataValues& step : zoneSteps)
            step = fittedKeepingShape(variables, std::move(step));
    }
    dataSet.journalValid = false;
}

// Appended zones make a data set that none of its files holds as a whole.
void appendZones(DataSet& dataSet, const Variables& variables, std::vector<LoadedFile> files) {
    for (std::string& path : pathsOf(files))
        dataSet.dataFiles.push_back(std::move(path));
    for (auto& steps : zonesWith(variables, std::move(files)).steps) {
        dataSet.laterZones.push_back(std::move(steps.front()));
        dataSet.laterZoneSteps.emplace_back(std::make_move_iterator(steps.begin() + 1),
                                            std::make_move_iterator(steps.end()));
    }
    dataSet.journalValid = false;
}

bool refuse(const std::string& message) {
    setLastErrorMessage(message);
    return false;
}

int stepsOf(const LoadedFile& file) {
    return 1 + static_cast<int>(file.laterSteps.size());
}

std::string timeSteps(int count) {
    return std::to_string(count) + (count == 1 ? " time step" : " time steps");
}

// Why the files cannot be loaded (into `target` when appending), empty when they can: every
// file needs points, and every zone of a data set the same time steps.
std::string whyNotLoadable(const std::vector<LoadedFile>& files, const DataSet* target) {
    for (const LoadedFile& file : files) {
        if (pointCount(file.values) == 0)
            return fileNameOf(file) + " holds no data points; nothing was loaded.";
    }
    const int steps = target ? target->stepCount() : stepsOf(files.front());
    const std::string stepsFrom = target ? "the data set" : fileNameOf(files.front());
    for (const LoadedFile& file : files) {
        if (stepsOf(file) != steps)
            return fileNameOf(file) + " has " + timeSteps(stepsOf(file)) + " but " + stepsFrom + " has " +
                   std::to_string(steps) +
                   ": every zone of a data set needs the same time steps; nothing "
                   "was loaded.";
    }
    return {};
}

// Appending must never take a variable away from the data set's zones; an answer that would is
// refused as a whole, and the reason (which the host shows, as for every failed load) names the
// variables it left out.
bool keepsEveryVariable(const Variables& chosen, const VariableNames& existing) {
    const VariableNames dropped = leftOut(chosen, existing);
    if (dropped.empty())
        return true;
    return refuse("The variable list returned for the load leaves out " + joined(dropped) +
                  " of the existing data set; nothing was loaded.");
}

// The current frame, or a new one on the first page (a new page if there is none).
int frameForData(ApplicationModel& model, const std::string& name) {
    if (const Frame* current = model.currentFrame())
        return current->id;
    const int page = model.pages().empty() ? model.addPage("Page 1") : 0;
    return model.addFrame(page, name, 0);
}

std::vector<int> framesSharing(const ApplicationModel& model, const std::shared_ptr<DataSet>& dataSet) {
    std::vector<int> ids;
    for (const Page& page : model.pages()) {
        for (const Frame& frame : page.frames) {
            if (frame.dataSet == dataSet)
                ids.push_back(frame.id);
        }
    }
    return ids;
}

} // namespace

bool loadData(std::vector<LoadedFile> files, DataLoadOption option) {
    if (files.empty())
        return refuse("There is no data to load.");
    clearLastErrorMessage();
    auto& model = ApplicationModel::instance();
    Frame* current = model.currentFrame();
    const bool appending = option == qelmar::dataload::Append && current && current->dataSet;
    if (const std::string problem = whyNotLoadable(files, appending ? current->dataSet.get() : nullptr);
        !problem.empty())
        return refuse(problem);
    // The files loaded first play the existing data set: the others are matched to its variables.
    const VariableNames& existing =
        appending ? current->dataSet->contents.variableNames : files.front().values.variableNames;
    const std::string existingName = appending ? fileNameOf(*current->dataSet) : sourceNameOf(files, 0);
    const Matching matching = matchIfVariablesDiffer(existing, existingName, files, appending ? 0 : 1);
    // A cancelled match, like a cancelled options dialog, loads nothing and is no error.
    if (matching.cancelled) {
        clearLastErrorMessage();
        return false;
    }
    if (matching.chosen && matching.chosen->names.empty())
        return refuse("No variables were chosen, so nothing was loaded.");
    if (appending && matching.chosen && !keepsEveryVariable(*matching.chosen, existing))
        return false;
    if (!matching.chosen)
        tellAboutDifferingFiles(existing, files,
                                appending ? fileNameOf(*current->dataSet) : fileNameOf(files.front()));
    const Variables variables = matching.chosen ? *matching.chosen : variablesNamed(existing);

    if (appending) {
        if (matching.chosen)
            refitDataSet(*current->dataSet, variables);
        appendZones(*current->dataSet, variables, std::move(files));
    } else {
        const int target = frameForData(model, fileNameOf(files.front()));
        const std::shared_ptr<DataSet> previous = model.frame(target).dataSet;
        const std::vector<int> frames = option == qelmar::dataload::ReplaceInAllSharedFrames && previous
                                            ? framesSharing(model, previous)
                                            : std::vector<int>{target};
        const std::shared_ptr<DataSet> dataSet = newDataSet(variables, std::move(files));
        for (int id : frames) {
            Frame& frame = model.frame(id);
            frame.dataSet = dataSet;
            if (option == qelmar::dataload::ReplaceAndResetStyle)
                frame.plotType = 0;
        }
    }
    model.layout().dirty = true;
    notifyStateChange(StateChange_DataSetsAltered);
    return true;
}

} // namespace qelmar::standin
