#pragma once

// Startup files: text files the application reads at startup or on request (variable aliases
// and the like), kept in the application's startup folder: the folder named by the environment
// variable QELMAR_STARTUP_DIR when it is set, else "qelmar/startup" in the user's configuration
// folder (~/.config/qelmar/startup on Linux). Each begins with a header line that names the kind
// of file by a two-letter tag and gives its version, e.g. "#!QELMAR VA 1" for variable aliases:
// the mark, the tag and a decimal version separated by blanks, ending in LF or CR LF.

#include <cstddef>
#include <cstdio>

// The path of the startup file with this name in the startup folder, or null when there is none.
// Freed with QelUtilStringDealloc. `description` names the file in messages.
char* QelAppStartupFileGetPath(const char* description, const char* fileName);
// Opens the file at `path` (or, with flags & 1 and a path without folder, the file of that name
// in the startup folder), checks that its header carries `tag` and stores the header's version
// in `*version`. The stream is positioned after the header; the caller closes it with fclose.
// Null, with the kernel's last error set, when the file cannot be opened or its header is not
// one of this tag.
std::FILE* QelAppStartupFileOpen(const char* description, const char* path, const char* tag, int* version,
                                 int flags);
// Writes the startup file with this name (no folder) in the startup folder, creating the folder
// when needed, or, given a full path, the file there (its folder must exist): `contents` must
// begin with the file's header line. The file is replaced whole, so a failed write leaves the
// earlier file as it was. False, with the kernel's last error set, when it cannot be written.
bool QelAppStartupFileWrite(const char* description, const char* fileName, const char* contents,
                            std::size_t length);
