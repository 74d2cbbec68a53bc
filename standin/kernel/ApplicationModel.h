#pragma once

// Internal to the stand-in kernel and its testing control: the application's pages, their
// frame stacks, the data sets the frames show, the frame walks and the layout's state.

#include "kernel/DataFileFormat.h"

#include <QRectF>
#include <QSizeF>

#include <memory>
#include <string>
#include <vector>

namespace qelmar::standin {

// A data set holds one or more zones through one or more time steps, every zone with the same
// steps and every step with the same variables. Files loaded together or appended become further
// zones. `contents` is the first zone at the first step, which is what a frame shows unless a
// later step is current.
struct DataSet {
    long id = 0;
    DataValues contents;
    std::vector<DataValues> laterSteps; // the first zone at every later step
    std::vector<DataValues> laterZones; // the further zones at the first step
    // The further zones at every later step: laterZoneSteps[zone - 1][step - 1].
    std::vector<std::vector<DataValues>> laterZoneSteps;
    // False once the data set no longer equals what loading `dataFiles` again would give.
    bool journalValid = false;
    // Absolute, in the order they were loaded; empty when the data set does not come from files.
    std::vector<std::string> dataFiles;

    int stepCount() const { return 1 + static_cast<int>(laterSteps.size()); }
    int zoneCount() const { return 1 + static_cast<int>(laterZones.size()); }
    // The values at the step, which is clamped to this data set's steps.
    const DataValues& atStep(int step) const;
    // Every zone through every step, as a data file holds them.
    DataFileContents allValues() const;
    // Replaces every zone and step; throws std::invalid_argument for contents without a zone or
    // step, or whose zones differ in their number of steps.
    void setAllValues(DataFileContents values);
};

struct Frame {
    int id = 0;
    std::string name;
    int plotType = 0;
    std::shared_ptr<DataSet> dataSet;
    // Where the frame sits on its page's paper, in inches from the paper's top left corner.
    QRectF placement;
    // Frames nobody placed are tiled over the paper again whenever their page gains or loses one.
    bool placedAutomatically = true;
};

struct Page {
    std::string name;
    std::vector<Frame> frames; // the top of the frame stack first
    QSizeF paper{11.0, 8.5};   // inches: Letter, landscape
};

struct LayoutState {
    bool dirty = false;
    bool hasStyle = false;
    bool okToAutoSave = true;
    std::string fileName;
};

// The path made absolute against the working folder; empty stays empty.
std::string absolutePath(const std::string& path);

enum class FrameWalk { AllPages, CurrentPage };

class ApplicationModel {
public:
    static ApplicationModel& instance();

    // Back to an application without pages, walks or layout file.
    void clear();

    const std::vector<Page>& pages() const { return m_pages; }
    // Throw std::out_of_range for a page or frame that does not exist.
    int addPage(const std::string& name);
    int addFrame(int page, const std::string& name, int plotType);
    // The top of the same page's stack becomes current, else the first frame of any page.
    void removeFrame(int id);
    Frame& frame(int id);
    // Places the frame on its paper for good: automatic tiling leaves it where it is.
    void setFramePlacement(int id, const QRectF& inches);
    // The page the frame is on, -1 for none.
    int pageOf(int frameId) const;

    int currentFrameId() const { return m_currentFrame; }
    Frame* currentFrame();
    void setCurrentFrame(int id);

    // The order of the all-pages walk: from the current frame on through the rest of the
    // cycle of all pages' frames, each page's stack from the top.
    std::vector<int> allPagesOrder() const;
    std::vector<int> currentPageOrder() const;

    // Walks nest: a walk started while others are under way (from a question box of an outer
    // walk, say) sees every frame; Next and End act on the innermost walk of their kind, and End
    // restores the frame that was current when that walk started.
    bool startWalk(FrameWalk walk);
    bool nextWalk(FrameWalk walk);
    void endWalk(FrameWalk walk);

    // A new data set for the frame; a journaled one loads from the files (none for generated
    // data), which are kept absolute. Returns its id; throws like DataSet::setAllValues.
    long attachDataSet(int frame, DataValues contents, bool journaled, const std::string& dataFile);
    long attachDataSet(int frame, DataFileContents values, bool journaled,
                       const std::vector<std::string>& dataFiles);
    static long nextDataSetId();
    // Replaces the steps after the first of the frame's data set, whose journal becomes invalid.
    // Throws std::out_of_range for a frame without a data set and std::invalid_argument for a
    // step whose variables differ or a data set of several zones.
    void setLaterTimeSteps(int frame, std::vector<DataValues> steps);

    // The most steps any data set has; 1 when none has more (or there is none).
    int timeStepCount() const;
    // Every data set is shown at this step, or at its last one if it has fewer.
    int currentTimeStep() const { return m_currentTimeStep; }
    // Clamped to 0 .. timeStepCount() - 1; a change is announced as altered data sets.
    void setCurrentTimeStep(int step);

    LayoutState& layout() { return m_layout; }

private:
    ApplicationModel() = default;

    struct Walk {
        FrameWalk kind = FrameWalk::AllPages;
        std::vector<int> order;
        std::size_t position = 0;
        int rememberedFrame = -1;
    };

    Frame* findFrame(int id);
    void tileAutomaticFrames(int page);
    std::vector<int> idsOfPage(int page) const;
    int firstFrameFrom(int page) const;
    // Moves the current frame without announcing it: walks are lightweight.
    bool visit(Walk& walk);
    // The innermost walk of the kind; end() when there is none.
    std::vector<Walk>::iterator innermostWalk(FrameWalk kind);

    std::vector<Page> m_pages;
    int m_currentFrame = -1;
    int m_nextFrameId = 1;
    std::vector<Walk> m_walks; // the innermost last
    LayoutState m_layout;
    int m_currentTimeStep = 0;
};

} // namespace qelmar::standin
