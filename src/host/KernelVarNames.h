#pragma once

// Variable-name lists: kernel string lists whose entries each describe one variable of a data
// set, an entry's text holding one or more names of that variable separated by LF. Offsets
// count from 0 (an entry's list position minus one); -1 means no entry.

struct StringList_s;

// The offset of the entry that the name designates, or -1. Letter case and blanks around a name
// are ignored, and every LF-separated name of an entry designates it.
int QelAppVarNameListGetVarOffset(const StringList_s* list, const char* name);
// Adds the name to the entry at the offset as a further name of that variable. False when the
// offset is outside the list or the name is empty.
bool QelAppVarNameListAddVarName(StringList_s* list, int offset, const char* name);
// A new list that starts with the existing list's entries, in order, and goes on with one entry
// per variable of the incoming lists that none of the entries before it designates, in file
// order. Null when the kernel cannot allocate. With flags & 1 the new entries hold the incoming
// name as written; without it, every name an incoming file gave that variable (LF-separated).
StringList_s* QelAppVarNameListCreateDefault(const StringList_s* existing, StringList_s* const* incoming,
                                             long incomingCount, int flags);

// Called by the kernel while it loads several files, or appends files to a data set, whose
// variables differ: `existing` holds the data set's variable names (empty for a new data set),
// `incoming` one list per file. The answer is a new list the kernel takes over, one entry per
// variable of the resulting data set, or null to cancel the load.
using MatchVariablesCallback_pf = StringList_s* (*)(StringList_s* existing, StringList_s* const* incoming,
                                                    long incomingCount, void* clientData);
// Replaces the registered callback; `clientData` is handed back on every call as it was given.
// The kernel neither reads nor frees what it points to.
void QelEngMatchVariablesRegisterCallback(MatchVariablesCallback_pf callback, void* clientData);
