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
bool QelUtilOpenLayoutX(ArgList_pa args);
// Kernel-allocated (free with QelUtilStringDealloc); empty when the layout was never saved.
char* QelUtilGetCurLayoutFName();
bool QelUtilQueryIsLayoutDirty();
bool QelUtilQueryLayoutHasStyle();
bool QelAppQueryOkToAutoSaveLayout();
