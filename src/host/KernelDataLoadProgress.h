#pragma once

// How far a load of several files has come, how the host cancels it, what the host answers
// when one of its files cannot be read, and what the load did with each file.
//
// A loader that reads several files announces them all first (QelUtilDataLoadBeginReading),
// then starts each file before opening it (QelUtilDataLoadBeginReadingFile) and may report the
// bytes it has read of a large one (QelUtilDataLoadReportBytesRead). Each of these calls asks
// the host's progress callback; when it answers false the load is cancelled: the call returns
// false, the loader opens no further file, and the load loads nothing and leaves no error.
//
// When the loader cannot read a file, it hands the reason to QelUtilDataLoadFileFailed, which
// drops what the file had added and asks the host's bad-file callback. Without one the loader's
// failure stands and the whole load fails, as a load of one file does.

#include "host/KernelDataLoad.h"

// What the progress callback is told. Bytes are the sizes of the files, as they were when the
// load began.
enum DataLoadPhase_e {
    DataLoadPhase_Reading = 0,  // `file` is being read
    DataLoadPhase_Applying = 1, // every file was read; the kernel puts the data in place
    DataLoadPhase_Finished = 2, // the load is over, loaded, failed or cancelled: the last call
};

struct DataLoadProgress_s {
    DataLoadPhase_e phase;
    const char* file; // the path being read; empty outside the reading phase
    long filesDone;   // files read completely (or skipped)
    long fileCount;
    long long bytesDone;
    long long bytesTotal;
};

// Return false to cancel the load. Called several times a second while a load reads, at most
// once per file when files are small, and once with DataLoadPhase_Finished at the end of every
// load that began reading.
typedef bool (*QelDataLoadProgressCallback_pf)(const DataLoadProgress_s* progress, void* clientData);
// Installs the callback for the loads that follow, with `clientData` passed back; null removes it.
void QelUtilDataLoadSetProgressCallback(QelDataLoadProgressCallback_pf callback, void* clientData);

enum DataLoadBadFileAnswer_e {
    DataLoadBadFile_Skip = 0,        // leave this file out and go on
    DataLoadBadFile_SkipAll = 1,     // leave out this and every later bad file without asking
    DataLoadBadFile_LoadNothing = 2, // cancel the load: nothing is loaded and no error is left
    DataLoadBadFile_Fail = 3,        // (only returned to loaders) the load fails with the reason
};

// Asked once per unreadable file of a load of several files (never again after SkipAll);
// `reason` says why in words for the user and usually names the file.
typedef DataLoadBadFileAnswer_e (*QelDataLoadBadFileCallback_pf)(const char* file, const char* reason,
                                                                 void* clientData);
void QelUtilDataLoadSetBadFileCallback(QelDataLoadBadFileCallback_pf callback, void* clientData);

// For loaders. The files of the load, before the first is opened; their sizes make the bytes
// total. False (the load cancelled) when the host's callback cancels.
bool QelUtilDataLoadBeginReading(DataLoad_s* load, const char* const* files, long fileCount);
// Before opening the file at `index` of those announced. False when the load is cancelled.
bool QelUtilDataLoadBeginReadingFile(DataLoad_s* load, long index);
// The bytes read so far of the current file. False when the load is cancelled.
bool QelUtilDataLoadReportBytesRead(DataLoad_s* load, long long bytesOfFile);
// The current file could not be read for `reason`: drops its zones and says what to do.
// Skip and SkipAll: go on with the next file. LoadNothing: stop, the load is cancelled. Fail:
// stop, the load fails with the reason.
DataLoadBadFileAnswer_e QelUtilDataLoadFileFailed(DataLoad_s* load, const char* reason);

// What the most recent load of announced files did with each, valid after QelUtilDataLoadApply
// until the next load begins reading.
enum DataLoadFileOutcome_e {
    DataLoadFile_Loaded = 0,
    DataLoadFile_Skipped = 1,   // unreadable and left out
    DataLoadFile_NotLoaded = 2, // the load was cancelled or failed
};
long QelUtilDataLoadLastFileCount();
// Out of range: DataLoadFile_NotLoaded.
DataLoadFileOutcome_e QelUtilDataLoadLastFileOutcome(long index);
// New strings freed with QelUtilStringDealloc; empty for an index out of range, and the reason
// is empty for a file that was not skipped.
char* QelUtilDataLoadLastFilePath(long index);
char* QelUtilDataLoadLastFileReason(long index);
// "Loaded 99 of 100 files; skipped station-17.csv: line 12: ..." for a load that skipped files,
// "Loaded 100 files" for one that skipped none, empty when no load of announced files was
// applied.
char* QelUtilDataLoadLastSummary();
