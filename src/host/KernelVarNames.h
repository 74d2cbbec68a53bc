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

// What a load would put in each variable: one entry per entry of `toLoad` (an answer of the
// match-variables callback), holding the name of `incoming` whose values the load would put
// into that variable, or an empty entry when the load leaves it NaN for that file (and for an
// entry that names nothing, which the load skips). `existing` is the list the callback was given
// as the existing names; `incoming` may be that list itself, for the existing data set's own
// values (or the first file's). Null when the kernel cannot allocate.
StringList_s* QelAppVarNameListGetFillingNames(const StringList_s* existing, const StringList_s* toLoad,
                                               const StringList_s* incoming);
// During a match-variables callback, what the user knows each list of the call as: index -1 the
// existing names (the data set's name when appending, else the first file's name), 0 onwards the
// incoming lists (the file's name, with the zone when the file brought several). A new kernel
// string, freed with QelUtilStringDealloc; null outside a callback or for an index it was not
// given.
char* QelEngMatchVariablesGetSourceName(long index);
