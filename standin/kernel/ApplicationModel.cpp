#include "kernel/ApplicationModel.h"

#include "kernel/KernelState.h"
#include "kernel/StateChange.h"

#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <stdexcept>

namespace qelmar::standin {

namespace {

const ResetRegistration resetApplication{[] { ApplicationModel::instance().clear(); }};

// Space kept free along the paper's edges and between tiled frames, in inches.
constexpr double tilingMargin = 0.5;
constexpr double tilingGap = 0.25;

} // namespace

const DataValues& DataSet::atStep(int step) const {
    if (step <= 0 || laterSteps.empty())
        return contents;
    return laterSteps[static_cast<std::size_t>(std::min(step, stepCount() - 1) - 1)];
}

DataFileContents DataSet::allValues() const {
    DataFileContents values;
    values.zones.reserve(laterZones.size() + 1);
    auto& first = values.zones.emplace_back();
    first.push_back(contents);
    first.insert(first.end(), laterSteps.begin(), laterSteps.end());
    for (std::size_t zone = 0; zone < laterZones.size(); ++zone) {
        auto& steps = values.zones.emplace_back();
        steps.push_back(laterZones[zone]);
        if (zone < laterZoneSteps.size())
            steps.insert(steps.end(), laterZoneSteps[zone].begin(), laterZoneSteps[zone].end());
    }
    return values;
}

void DataSet::setAllValues(DataFileContents values) {
    if (values.zones.empty() || values.zones.front().empty())
        throw std::invalid_argument("A data set needs at least one zone and one time step.");
    const std::size_t steps = values.zones.front().size();
    for (const auto& zone : values.zones) {
        if (zone.size() != steps)
            throw std::invalid_argument("Every zone of a data set needs the same number of time steps.");
    }
    auto zone = values.zones.begin();
    contents = std::move(zone->front());
    laterSteps.assign(std::make_move_iterator(zone->begin() + 1), std::make_move_iterator(zone->end()));
    laterZones.clear();
    laterZoneSteps.clear();
    for (++zone; zone != values.zones.end(); ++zone) {
        laterZones.push_back(std::move(zone->front()));
        laterZoneSteps.emplace_back(std::make_move_iterator(zone->begin() + 1),
                                    std::make_move_iterator(zone->end()));
    }
}

std::string absolutePath(const std::string& path) {
    if (path.empty())
        return path;
    return QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
}

ApplicationModel& ApplicationModel::instance() {
    static ApplicationModel model;
    return model;
}

void ApplicationModel::clear() {
    m_pages.clear();
    m_currentFrame = -1;
    m_nextFrameId = 1;
    m_walks.clear();
    m_layout = LayoutState{};
    m_currentTimeStep = 0;
}

int ApplicationModel::addPage(const std::string& name) {
    m_pages.push_back({name, {}});
    m_layout.dirty = true;
    m_layout.hasStyle = true;
    notifyStateChange(StateChange_PageAltered);
    return static_cast<int>(m_pages.size()) - 1;
}

int ApplicationModel::addFrame(int page, const std::string& name, int plotType) {
    if (page < 0 || page >= static_cast<int>(m_pages.size()))
        throw std::out_of_range("There is no page " + std::to_string(page) + ".");
    Frame frame;
    frame.id = m_nextFrameId++;
    frame.name = name;
    frame.plotType = plotType;
    auto& frames = m_pages[static_cast<std::size_t>(page)].frames;
    frames.insert(frames.begin(), frame);
    tileAutomaticFrames(page);
    m_currentFrame = frame.id;
    m_layout.dirty = true;
    notifyStateChange(StateChange_FramesAltered);
    notifyStateChange(StateChange_CurrentFrame);
    return frame.id;
}

void ApplicationModel::removeFrame(int id) {
    const int page = pageOf(id);
    if (page < 0)
        throw std::out_of_range("There is no frame " + std::to_string(id) + ".");
    auto& frames = m_pages[static_cast<std::size_t>(page)].frames;
    frames.erase(
        std::find_if(frames.begin(), frames.end(), [id](const Frame& frame) { return frame.id == id; }));
    tileAutomaticFrames(page);
    m_layout.dirty = true;
    const bool wasCurrent = m_currentFrame == id;
    if (wasCurrent)
        m_currentFrame = firstFrameFrom(page);
    notifyStateChange(StateChange_FramesAltered);
    if (wasCurrent)
        notifyStateChange(StateChange_CurrentFrame);
}

int ApplicationModel::firstFrameFrom(int page) const {
    for (std::size_t offset = 0; offset < m_pages.size(); ++offset) {
        const auto& frames = m_pages[(static_cast<std::size_t>(page) + offset) % m_pages.size()].frames;
        if (!frames.empty())
            return frames.front().id;
    }
    return -1;
}

Frame* ApplicationModel::findFrame(int id) {
    for (auto& page : m_pages) {
        for (auto& frame : page.frames) {
            if (frame.id == id)
                return &frame;
        }
    }
    return nullptr;
}

Frame& ApplicationModel::frame(int id) {
    Frame* found = findFrame(id);
    if (!found)
        throw std::out_of_range("There is no frame " + std::to_string(id) + ".");
    return *found;
}

void ApplicationModel::setFramePlacement(int id, const QRectF& inches) {
    Frame& placed = frame(id);
    placed.placement = inches.normalized();
    placed.placedAutomatically = false;
    const int page = pageOf(id);
    tileAutomaticFrames(page);
    m_layout.dirty = true;
    notifyStateChange(StateChange_FramesAltered);
}

// A grid of about as many columns as rows over the paper inside its margin, filled in the order
// the frames were created, so that adding a frame never reorders the ones before it.
void ApplicationModel::tileAutomaticFrames(int page) {
    auto& thePage = m_pages[static_cast<std::size_t>(page)];
    std::vector<Frame*> tiled;
    for (auto it = thePage.frames.rbegin(); it != thePage.frames.rend(); ++it) {
        if (it->placedAutomatically)
            tiled.push_back(&*it);
    }
    if (tiled.empty())
        return;
    const int count = static_cast<int>(tiled.size());
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    const int rows = (count + columns - 1) / columns;
    const QSizeF usable(thePage.paper.width() - 2 * tilingMargin, thePage.paper.height() - 2 * tilingMargin);
    const double cellWidth = (usable.width() - (columns - 1) * tilingGap) / columns;
    const double cellHeight = (usable.height() - (rows - 1) * tilingGap) / rows;
    for (int index = 0; index < count; ++index) {
        const int column = index % columns;
        const int row = index / columns;
        tiled[static_cast<std::size_t>(index)]->placement =
            QRectF(tilingMargin + column * (cellWidth + tilingGap),
                   tilingMargin + row * (cellHeight + tilingGap), cellWidth, cellHeight);
    }
}

Frame* ApplicationModel::currentFrame() {
    return m_currentFrame < 0 ? nullptr : findFrame(m_currentFrame);
}

void ApplicationModel::setCurrentFrame(int id) {
    frame(id);
    if (m_currentFrame == id)
        return;
    m_currentFrame = id;
    notifyStateChange(StateChange_CurrentFrame);
}

int ApplicationModel::pageOf(int frameId) const {
    for (std::size_t page = 0; page < m_pages.size(); ++page) {
        const auto& frames = m_pages[page].frames;
        if (std::any_of(frames.begin(), frames.end(),
                        [frameId](const Frame& frame) { return frame.id == frameId; }))
            return static_cast<int>(page);
    }
    return -1;
}

std::vector<int> ApplicationModel::idsOfPage(int page) const {
    std::vector<int> ids;
    if (page < 0)
        return ids;
    for (const auto& frame : m_pages[static_cast<std::size_t>(page)].frames)
        ids.push_back(frame.id);
    return ids;
}

std::vector<int> ApplicationModel::allPagesOrder() const {
    std::vector<int> cycle;
    for (std::size_t page = 0; page < m_pages.size(); ++page) {
        const std::vector<int> ids = idsOfPage(static_cast<int>(page));
        cycle.insert(cycle.end(), ids.begin(), ids.end());
    }
    const auto current = std::find(cycle.begin(), cycle.end(), m_currentFrame);
    if (current != cycle.end())
        std::rotate(cycle.begin(), current, cycle.end());
    return cycle;
}

std::vector<int> ApplicationModel::currentPageOrder() const {
    return idsOfPage(pageOf(m_currentFrame));
}

bool ApplicationModel::visit(Walk& walk) {
    // A frame deleted during the walk is passed over.
    while (walk.position < walk.order.size()) {
        const int id = walk.order[walk.position];
        if (findFrame(id)) {
            m_currentFrame = id;
            return true;
        }
        ++walk.position;
    }
    return false;
}

std::vector<ApplicationModel::Walk>::iterator ApplicationModel::innermostWalk(FrameWalk kind) {
    const auto innermost = std::find_if(m_walks.rbegin(), m_walks.rend(),
                                        [kind](const Walk& walk) { return walk.kind == kind; });
    return innermost == m_walks.rend() ? m_walks.end() : std::prev(innermost.base());
}

bool ApplicationModel::startWalk(FrameWalk kind) {
    Walk walk;
    walk.kind = kind;
    walk.order = kind == FrameWalk::AllPages ? allPagesOrder() : currentPageOrder();
    if (walk.order.empty())
        return false;
    walk.rememberedFrame = m_currentFrame;
    m_walks.push_back(std::move(walk));
    return visit(m_walks.back());
}

bool ApplicationModel::nextWalk(FrameWalk kind) {
    const auto walk = innermostWalk(kind);
    if (walk == m_walks.end())
        return false;
    ++walk->position;
    return visit(*walk);
}

void ApplicationModel::endWalk(FrameWalk kind) {
    const auto walk = innermostWalk(kind);
    if (walk == m_walks.end())
        return;
    if (findFrame(walk->rememberedFrame))
        m_currentFrame = walk->rememberedFrame;
    m_walks.erase(walk);
}

long ApplicationModel::nextDataSetId() {
    static long lastId = 0;
    return ++lastId;
}

long ApplicationModel::attachDataSet(int frameId, DataValues contents, bool journaled,
                                     const std::string& dataFile) {
    DataFileContents values;
    values.zones.push_back({std::move(contents)});
    std::vector<std::string> files;
    if (!dataFile.empty())
        files.push_back(dataFile);
    return attachDataSet(frameId, std::move(values), journaled, files);
}

long ApplicationModel::attachDataSet(int frameId, DataFileContents values, bool journaled,
                                     const std::vector<std::string>& dataFiles) {
    auto dataSet = std::make_shared<DataSet>();
    dataSet->setAllValues(std::move(values));
    dataSet->id = nextDataSetId();
    dataSet->journalValid = journaled;
    if (journaled) {
        for (const std::string& file : dataFiles)
            dataSet->dataFiles.push_back(absolutePath(file));
    }
    frame(frameId).dataSet = dataSet;
    m_layout.dirty = true;
    notifyStateChange(StateChange_DataSetsAltered);
    return dataSet->id;
}

void ApplicationModel::setLaterTimeSteps(int frameId, std::vector<DataValues> steps) {
    const auto& dataSet = frame(frameId).dataSet;
    if (!dataSet)
        throw std::out_of_range("Frame " + std::to_string(frameId) + " has no data set.");
    if (!dataSet->laterZones.empty())
        throw std::invalid_argument(
            "Every zone of a data set needs the same time steps: give them all at once.");
    for (const DataValues& step : steps) {
        if (step.variableNames != dataSet->contents.variableNames)
            throw std::invalid_argument("Every time step of a data set needs the same variables.");
    }
    dataSet->laterSteps = std::move(steps);
    // Its files hold other steps now.
    dataSet->journalValid = false;
    notifyStateChange(StateChange_DataSetsAltered);
}

int ApplicationModel::timeStepCount() const {
    int count = 1;
    for (const auto& page : m_pages) {
        for (const auto& frame : page.frames) {
            if (frame.dataSet)
                count = std::max(count, frame.dataSet->stepCount());
        }
    }
    return count;
}

void ApplicationModel::setCurrentTimeStep(int step) {
    step = std::clamp(step, 0, timeStepCount() - 1);
    if (step == m_currentTimeStep)
        return;
    m_currentTimeStep = step;
    notifyStateChange(StateChange_DataSetsAltered);
}

} // namespace qelmar::standin
