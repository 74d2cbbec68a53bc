#include "kernel/DataLoading.h"

#include "host/KernelMessages.h"
#include "kernel/ApplicationModel.h"
#include "kernel/LastError.h"
#include "kernel/StateChange.h"

#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <limits>
#include <memory>

namespace qelmar::standin {

namespace {

using qelmar::dataload::DataLoadOption;

std::size_t pointCount(const DataValues& values) {
    return values.values.empty() ? 0 : values.values.front().size();
}

std::string fileNameOf(const LoadedFile& file) {
    if (file.path.empty())
        return file.values.title;
    return QFileInfo(QString::fromStdString(file.path)).fileName().toStdString();
}

// The values with exactly `variables`, each taken by name; a variable the values lack is NaN at
// every point, so nothing that matches is lost.
DataValues fittedTo(const std::vector<std::string>& variables, DataValues values) {
    if (values.variableNames == variables)
        return values;
    DataValues fitted;
    fitted.title = values.title;
    fitted.variableNames = variables;
    const std::size_t points = pointCount(values);
    for (const std::string& name : variables) {
        const auto found = std::find(values.variableNames.begin(), values.variableNames.end(), name);
        if (found == values.variableNames.end()) {
            fitted.values.emplace_back(points, std::numeric_limits<double>::quiet_NaN());
        } else {
            const auto index = static_cast<std::size_t>(found - values.variableNames.begin());
            fitted.values.push_back(std::move(values.values[index]));
        }
    }
    return fitted;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// Every file as a zone with the given variables; the user learns which files had others.
std::vector<DataValues> zonesWith(const std::vector<std::string>& variables, std::vector<LoadedFile> files,
                                  const std::string& variablesFrom) {
    std::vector<DataValues> zones;
    std::vector<std::string> differing;
    for (LoadedFile& file : files) {
        if (file.values.variableNames != variables)
            differing.push_back(fileNameOf(file));
        zones.push_back(fittedTo(variables, std::move(file.values)));
    }
    if (!differing.empty()) {
        const std::string message = "The variables of " + joined(differing) + " differ from those of " +
                                    variablesFrom + ". The data keeps the variables of " + variablesFrom +
                                    "; values of variables it does not have are left out.";
        QelUtilDialogMessageBox(message.c_str(), MessageBox_Information);
    }
    return zones;
}

std::shared_ptr<DataSet> newDataSet(std::vector<LoadedFile> files) {
    auto dataSet = std::make_shared<DataSet>();
    dataSet->id = ApplicationModel::nextDataSetId();
    dataSet->dataFile = absolutePath(files.front().path);
    dataSet->journalValid = !dataSet->dataFile.empty();
    const std::vector<std::string> variables = files.front().values.variableNames;
    const std::string variablesFrom = fileNameOf(files.front());
    std::vector<DataValues> zones = zonesWith(variables, std::move(files), variablesFrom);
    dataSet->contents = std::move(zones.front());
    dataSet->laterZones.assign(std::make_move_iterator(zones.begin() + 1),
                               std::make_move_iterator(zones.end()));
    return dataSet;
}

void appendZones(DataSet& dataSet, std::vector<LoadedFile> files) {
    const std::string variablesFrom =
        dataSet.dataFile.empty()
            ? dataSet.contents.title
            : QFileInfo(QString::fromStdString(dataSet.dataFile)).fileName().toStdString();
    for (DataValues& zone : zonesWith(dataSet.contents.variableNames, std::move(files), variablesFrom))
        dataSet.laterZones.push_back(std::move(zone));
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
    if (files.empty()) {
        setLastErrorMessage("There is no data to load.");
        return false;
    }
    clearLastErrorMessage();
    auto& model = ApplicationModel::instance();
    Frame* current = model.currentFrame();
    if (option == qelmar::dataload::Append && current && current->dataSet) {
        appendZones(*current->dataSet, std::move(files));
    } else {
        const int target = frameForData(model, fileNameOf(files.front()));
        const std::shared_ptr<DataSet> previous = model.frame(target).dataSet;
        const std::vector<int> frames = option == qelmar::dataload::ReplaceInAllSharedFrames && previous
                                            ? framesSharing(model, previous)
                                            : std::vector<int>{target};
        const std::shared_ptr<DataSet> dataSet = newDataSet(std::move(files));
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
