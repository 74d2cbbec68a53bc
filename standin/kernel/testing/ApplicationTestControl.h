#pragma once

#include <string>
#include <vector>

namespace qelmar::standin::testing {

// What a data set holds: named variables of equal length.
struct DataSetContents {
    std::string title;
    std::vector<std::string> variableNames;
    std::vector<std::vector<double>> values; // one vector per variable
};

// A layout as read back from a layout file or from the layout inside a package.
struct LayoutFrameRecord {
    std::string name;
    int plotType = 0;
    // The data file the frame's data set loads from, as written in the layout (relative or
    // absolute, or a name inside the package); empty for a frame without data. A data set
    // loaded from several files names the first here and all of them in `dataFiles`.
    std::string dataFile;
    std::vector<std::string> dataFiles;
};
struct LayoutPageRecord {
    std::string name;
    std::vector<LayoutFrameRecord> frames;
};
struct LayoutRecord {
    bool relativePaths = false;
    std::vector<LayoutPageRecord> pages;
};

// Builds and inspects the stand-in kernel's application model: pages, frames, data sets and
// the layout state. Construction starts from an empty application (no pages); destruction
// leaves an empty application behind.
class ApplicationTestControl {
public:
    ApplicationTestControl();
    ~ApplicationTestControl();
    ApplicationTestControl(const ApplicationTestControl&) = delete;
    ApplicationTestControl& operator=(const ApplicationTestControl&) = delete;

    // Returns the page's index (from 0).
    int addPage(const std::string& name);
    // Adds a frame on top of the page's frame stack and makes it current; returns its id.
    int addFrame(int page, const std::string& name, int plotType = 0);
    // Deletes the frame; if it was current, the top of its page's stack becomes current, else
    // the first frame of the pages after it, else none.
    void removeFrame(int frame);
    // Places the frame on its page's paper (inches from the paper's top left corner); frames
    // never placed are tiled over the paper automatically.
    void setFramePlacement(int frame, double left, double top, double width, double height);
    // Attaches a new data set to the frame; a journaled one counts as loaded from dataFile
    // (which may be empty for generated data). Returns the data set's unique id.
    long attachDataSet(int frame, const DataSetContents& contents, bool journaled,
                       const std::string& dataFile = std::string());
    // Gives the frame's data set these time steps after its first one (which stays as attached);
    // every step needs the data set's variables, and its journal becomes invalid.
    void setLaterTimeSteps(int frame, const std::vector<DataSetContents>& steps);
    // The most time steps of any data set (at least 1), and the step every frame shows; setting
    // it clamps to the steps there are and repaints like any change of the data sets.
    int timeStepCount() const;
    int currentTimeStep() const;
    void setCurrentTimeStep(int step);
    // Changes the frame's data set without journaling it: its journal becomes invalid.
    void changeDataSetWithoutJournal(int frame);
    bool dataSetJournalIsValid(int frame) const;
    // The first file the data set loads from, empty for none.
    std::string dataSetFile(int frame) const;

    void setCurrentFrame(int frame);
    int currentFrame() const; // -1 when there is none
    std::vector<int> framesInWalkOrder() const;

    void setLayoutDirty(bool dirty);
    void setLayoutHasStyle(bool hasStyle);
    void setOkToAutoSaveLayout(bool ok);
    void setCurrentLayoutFileName(const std::string& fileName);
    std::string currentLayoutFileName() const;

    // Startup files (variable aliases and the like) are looked for in this folder from now on,
    // until it is set again or an ApplicationTestControl is destroyed; an empty folder returns to
    // the default: $QELMAR_STARTUP_DIR when set, else "qelmar/startup" in the user's
    // configuration folder (~/.config on Linux).
    static void setStartupFolder(const std::string& folder);
    static std::string startupFolder();

    // Every following file write of the kernel and its export engine (layouts, data files,
    // packages, exported images and movies) fails as on a full disk once `bytes` bytes went to
    // that file; a negative count lets writes succeed again (so does destruction).
    void failWritesAfterBytes(long long bytes);

    // Readers of what the kernel wrote (of a data file, the first zone at the first step); they throw
    // std::runtime_error with a reason on a file that is missing, truncated or not of the format.
    static DataSetContents readDataFile(const std::string& path);
    static LayoutRecord readLayoutFile(const std::string& path);
    // Names of the entries of a package, and one entry's bytes.
    static std::vector<std::string> packageEntries(const std::string& path);
    static std::string packageEntry(const std::string& path, const std::string& entry);
    static LayoutRecord readPackagedLayout(const std::string& path);
};

} // namespace qelmar::standin::testing
