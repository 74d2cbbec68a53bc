#pragma once

// Layout files: the pages, frames and styles of the application and the data files they show.

struct ArgList_s;
using ArgList_pa = ArgList_s*;

// Arguments: "FName" (string, required); "IncludeData" (integer 0/1, required): 1 writes a
// package that carries the layout and every data file; "IncludePreview" (integer 0/1, only
// with data): the package also carries a preview image; "UseRelativePaths" (integer 0/1, only
// without data): data files are referred to relative to the layout's folder. A successful save
// makes the file the current layout and the layout clean.
bool QelUtilSaveLayoutX(ArgList_pa args);
// Arguments: "FName" (string, required): a layout (".lay") or a package (".lpk"); "Append"
// (integer 0/1, optional): 1 adds the layout's pages after the application's own instead of
// replacing the application's pages, frames and data sets. Every data file the layout names is
// read first: one that cannot be read changes nothing, and the reason naming it is the last
// error. Replacing makes the file the current layout and the layout clean.
//
// A linked layout records each data file's path relative to the layout, its absolute path and a
// SHA-256 of its content. A data file at none of its recorded places is missing: with a locate
// callback registered, the kernel asks for one missing file, takes the change of folder the
// answer implies (the part before the longest common ending of the recorded and the chosen path)
// to every other missing file, and asks again only for files still missing. A file is taken
// silently only when its content is the recorded one; files found with other content are listed
// in one yes/no question (QelUtilDialogMessageBox, MessageBox_Question), and only yes opens the
// layout. A cancelled locate opens nothing and the last error names the missing files. Without a
// callback a missing file fails the open.
bool QelUtilOpenLayoutX(ArgList_pa args);

// Asks the host where a data file of the layout at `layoutPath` is now. `missingFile` is where
// the file was when the layout was saved (absolute); `missingCount` how many of the layout's
// files are missing, this one included. The answer is the file's path, allocated with malloc
// (the kernel frees it with free), or null to cancel opening the layout.
using LocateDataFileCallback_pf = char* (*)(const char* layoutPath, const char* missingFile,
                                            long missingCount, void* clientData);
// Replaces the registered callback (null: none); `clientData` is handed back on every call as it
// was given. The kernel neither reads nor frees what it points to.
void QelUtilLayoutRegisterLocateDataFileCallback(LocateDataFileCallback_pf callback, void* clientData);
// Kernel-allocated (free with QelUtilStringDealloc); empty when the layout was never saved.
char* QelUtilGetCurLayoutFName();
bool QelUtilQueryIsLayoutDirty();
bool QelUtilQueryLayoutHasStyle();
bool QelAppQueryOkToAutoSaveLayout();
