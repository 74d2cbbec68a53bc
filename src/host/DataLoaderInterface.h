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
    // Values of Properties::advancedOptionsMode. The field stays a 32-bit integer, as loaders
    // declare it; any value other than these two means the loader has no advanced options.
    enum AdvancedOptionsMode_e : std::int32_t {
        AdvancedOptions_None = 0,
        // The user may ask for the loader's advanced options.
        AdvancedOptions_OnRequest = 1,
        // The loader always shows its advanced options.
        AdvancedOptions_Always = 2,
    };
    // Values of Properties::dialogFileSelection; any non-zero value counts as FromDialog.
    enum DialogFileSelection_e : std::int32_t {
        // The loader asks for what it needs in a dialog of its own.
        DialogFileSelection_OwnDialog = 0,
        // The loader takes its files from the load-data dialog's selection.
        DialogFileSelection_FromDialog = 1,
    };

    struct Properties {
        std::string name;
        // The file patterns it reads, blank separated ("*.csv *.txt").
        std::string filePattern;
        // Several files at once.
        bool multipleFiles = false;
        // An AdvancedOptionsMode_e.
        std::int32_t advancedOptionsMode = AdvancedOptions_None;
        // With advanced options, files must still be chosen in the file dialog.
        bool fileRequiredWithAdvancedOptions = true;
        // A DialogFileSelection_e.
        std::int32_t dialogFileSelection = DialogFileSelection_FromDialog;

        bool takesFilesFromDialog() const { return dialogFileSelection != DialogFileSelection_OwnDialog; }
        bool offersAdvancedOptions() const { return advancedOptionsMode == AdvancedOptions_OnRequest; }
        bool alwaysUsesAdvancedOptions() const { return advancedOptionsMode == AdvancedOptions_Always; }
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
