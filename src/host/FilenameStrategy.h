#pragma once

#include <string>

namespace qelmar::sdk::ui {

// Default folders and file names per file category, remembered for the process: once a file
// of a category was chosen, its folder becomes that category's default.
class FilenameStrategy {
public:
    enum FileCategory_e {
        FileCategory_Layout = 1,
        FileCategory_DataFile = 2,
        FileCategory_Macro = 3,
        FileCategory_Export = 7,
    };

    // The process-wide instance, owned by the framework and alive until the process ends.
    static FilenameStrategy& getManager();

    // The category's folder; the user's documents folder (or the current folder) at first.
    std::string getDefaultDirectory(int category) const;
    // The category's default file name, without folder ("untitled" plus the category's
    // extension unless one was remembered).
    std::string getDefaultFileName(int category) const;
    // Remembers the folder and name of a file the user chose.
    void rememberFile(int category, const std::string& path);
    // Told after an operation on a file the user chose: only a file that was written becomes
    // the category's default, so a failed export does not move the next proposal elsewhere.
    void rememberOutcome(int category, const std::string& path, bool succeeded);
    void reset();

private:
    FilenameStrategy();
    struct Impl;
    Impl* m_impl;
};

} // namespace qelmar::sdk::ui
