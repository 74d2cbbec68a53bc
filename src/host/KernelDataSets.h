#pragma once

// The data set attached to the current frame.

struct ArgList_s;
using ArgList_pa = ArgList_s*;

bool QelUtilDataSetIsAvailable();
// True when the data set can be re-created from its load journal: it was loaded from files
// and not changed since without the change being journaled.
bool QelUtilDataSetJournalIsValid();
// A number that identifies the data set for the life of the process; 0 when there is none.
long QelUtilDataSetGetUniqueID();
// Writes the data set to a binary data file. Arguments: "FName" (string), the file to write.
// On success the data set's journal becomes valid again: it now loads from that file.
bool QelUtilDataSetWriteX(ArgList_pa args);
