#pragma once

#include "host/DataLoadOption.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace qelmar::sdk::ui {

// One data loader of the application: what it reads and how it wants its files chosen, and the
// load itself.
class DataLoaderInterface {
public:
    struct Properties {
        std::string name;
        // The file patterns it reads, blank separated ("*.csv *.txt").
        std::string filePattern;
        // Several files at once.
        bool multipleFiles = false;
        // 1: the user may ask for advanced options; 2: they are always used; else none.
        std::int32_t advancedOptionsMode = 0;
        // With advanced options, files must still be chosen in the file dialog.
        bool fileRequiredWithAdvancedOptions = true;
        // Non-zero when the loader takes its files from the load-data dialog's selection; zero
        // for a loader that asks for what it needs in its own dialog.
        std::int32_t dialogFileSelection = 1;
    };

    virtual Properties properties() const = 0;
    virtual ~DataLoaderInterface() = default;

    // Loads the files (none for a loader with its own dialog) into the application's data as
    // the option says; with advancedOptions the loader first asks for its options in a dialog
    // of its own over `parent`. False when nothing was loaded: the user cancelled (no last
    // error) or the load failed (the reason in QelUtilGetLastErrorMessage).
    virtual bool load(QWidget* parent, const std::vector<std::string>& files, bool advancedOptions,
                      qelmar::dataload::DataLoadOption option) = 0;
};

using DataLoaderPtr = std::shared_ptr<DataLoaderInterface>;

} // namespace qelmar::sdk::ui
