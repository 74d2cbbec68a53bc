#pragma once

// Internal to the stand-in kernel: how data read by a loader (handed over through the data load
// calls of host/KernelDataLoad.h) reaches the frames.

#include "host/DataLoadOption.h"
#include "kernel/DataFileFormat.h"

#include <chrono>
#include <string>
#include <vector>

namespace qelmar::standin {

// The values read from one file; generated data has no file. A file of several zones arrives as
// one LoadedFile per zone, numbered from 0 by `zoneInFile`.
struct LoadedFile {
    std::string path;
    DataValues values;                  // the first time step
    std::vector<DataValues> laterSteps; // with the same variables and points as `values`
    int zoneInFile = 0;
};

// Puts the files' values into the application as the option says: a new data set for the
// current frame (option 1 resets the frame's style to a line plot, 2 keeps it), a new data set
// for every frame sharing the current frame's data set (3), or further zones of the current
// data set (4). Files whose variables match the first file's (or, appending, the data set's)
// under the kernel's name matching become zones of one data set. When they differ, the
// registered match-variables callback chooses the variables: each file fills a chosen variable
// from the name it carries under that variable's entry (the data set's variables also from
// another letter case of their names), and variables a file does not fill are NaN in its zone; a
// null answer cancels the load and changes nothing. An answer that would leave out a variable of
// the data set being appended to is refused, the reason naming it. Without a callback the
// files are fitted to the first file's (or the data set's) variables by name and the user is told.
// Every file's later steps become the later steps of its zone; the files need the same number
// of steps (as the data set's, appending), and points. Without a current frame a new frame gets
// the data. The data set remembers every file it came from; a new one is journaled against them
// when each zone holds exactly what its file holds (nothing matched, fitted or filled), and an
// appended one is not. False when nothing was loaded and nothing changed: with the kernel's last
// error set when there is nothing to load, a file cannot be loaded or the answer was refused,
// without one when the load was cancelled.
bool loadData(std::vector<LoadedFile> files, qelmar::dataload::DataLoadOption option);

// A pause before each file a loader begins to read, so that a scripted tour sees the progress
// window of a short load; zero (the default, and after a kernel reset) in every normal run.
void setDataLoadDelayPerFile(std::chrono::milliseconds delay);

} // namespace qelmar::standin
