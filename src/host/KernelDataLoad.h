#pragma once

// Data a loader read, on its way into the application. A loader collects what it read in a data
// load, file by file, each file zone by zone, each zone time step by time step with its
// variables; then it applies the load, which matches the files' variables and puts them into
// the frames as the load option says, or it frees the load, which loads nothing. Nothing reaches
// the application before the load is applied, so a loader that fails halfway changes nothing.
//
// A call that fails returns false (or null) with the reason in QelUtilGetLastErrorMessage; the
// calls that build a load only set that reason when they fail, the ones that read a file or
// apply the load also clear it when they start. Counts are numbers of elements.

#include "host/DataLoadOption.h"

struct DataLoad_s;

// A new empty load, freed with QelUtilDataLoadDealloc (which nulls the handle); null when there
// is no memory for it.
DataLoad_s* QelUtilDataLoadAlloc();
void QelUtilDataLoadDealloc(DataLoad_s** load);

// Starts the next file; the zones that follow belong to it, and the data set remembers it as a
// file it came from. A null or empty path stands for values no file holds (computed ones): a data
// set holding them cannot be loaded again from its files.
bool QelUtilDataLoadBeginFile(DataLoad_s* load, const char* path);
// Starts the next zone of the current file, at its first time step.
bool QelUtilDataLoadBeginZone(DataLoad_s* load, const char* title);
// Starts the next time step of the current zone. Every step of a zone needs the variables of its
// first step, in their order, over the same points.
bool QelUtilDataLoadBeginTimeStep(DataLoad_s* load, const char* title);
// Makes the current step an ordered zone of I, J (and K) points, I varying fastest: `rank` (1 to
// 3) dimensions whose product is the number of points. Without it the points are a list.
bool QelUtilDataLoadSetDimensions(DataLoad_s* load, const long* dimensions, int rank);
// Adds a variable to the current step with a copy of its `count` values; every variable of a
// step has the same number of values.
bool QelUtilDataLoadAddVariable(DataLoad_s* load, const char* name, const double* values, long count);
// Reads one of the application's own data files (".plt") and adds it to the load as a file with
// every zone and time step it holds. False, adding nothing, when the file is missing, damaged or
// not a data file; the reason names the file.
bool QelUtilDataLoadReadDataFile(DataLoad_s* load, const char* path);

// Puts the load's files into the application as `option` says; the load is empty afterwards,
// whatever the outcome. False when nothing was loaded and nothing changed: with the reason set
// when the data cannot be loaded, without one when the user cancelled the matching of variables.
bool QelUtilDataLoadApply(DataLoad_s* load, qelmar::dataload::DataLoadOption option);

// Sets the reason QelUtilGetLastErrorMessage gives, for a loader whose own reading failed; a null
// or empty message clears it (a cancelled load is no failure).
bool QelUtilSetLastErrorMessage(const char* message);
