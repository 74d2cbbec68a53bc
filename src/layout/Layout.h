#pragma once

namespace qelmar::sdk::ui::util {

// Results of saveLayout.
enum SaveLayoutResult_e {
    SaveLayout_Saved = 0,
    // The kernel could not write a data set or the layout; the user has been told.
    SaveLayout_Failed = 1,
    // The user declined or cancelled writing a data set; nothing was reported or saved.
    SaveLayout_Cancelled = 2
};

// Saves the layout of all pages into fileName. Unless the data travels inside a package
// (includeData), every frame whose data set cannot be re-created from its load journal is
// offered to be written to a new data file first, since the layout could not restore it
// otherwise. includePreview applies to packages only, useRelativePaths to plain layouts only.
// Returns a SaveLayoutResult_e; anything but 0 means the layout was not saved.
int saveLayout(const char* fileName, bool includeData, bool includePreview, bool useRelativePaths);

// True when the layout changed since it was saved and has something worth keeping.
bool layoutIsWorthSaving();

// Saves the current layout into its own file with the options of the kernel's configuration;
// 1 without doing anything when the kernel does not allow an automatic save now.
int tryAutoSaveLayout();

} // namespace qelmar::sdk::ui::util
