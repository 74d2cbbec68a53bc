#pragma once

#include "host/DataLoaderInterface.h"

#include <vector>

namespace qelmar::sdk::ui {

// The application's data loaders, in the order the load-data dialog offers them.
class DataLoaderRepository {
public:
    // The name of the loader that opens layouts.
    static const char* const QELMAR_LAYOUT_LOADER_NAME;

    // The process-wide instance, owned by the framework and alive until the process ends.
    static DataLoaderRepository& getInstance();

    // Every loader; `includeAll` also lists loaders hidden from menus (this repository hides
    // none).
    std::vector<DataLoaderPtr> dataLoaderInterfaces(bool includeAll) const;
    // True for a "modern" loader: one that works through the load-data dialog's file selection
    // and advanced options; false for one that brings its own user interface (an older kind of
    // loader, hence the name).
    bool isModernLoader(const DataLoaderPtr& loader) const;

    // The host installs its loaders at start-up; tests install their own.
    void addLoader(DataLoaderPtr loader, bool modern);
    void clear();

private:
    DataLoaderRepository();
    struct Entry {
        DataLoaderPtr loader;
        bool modern;
    };
    std::vector<Entry> m_entries;
};

} // namespace qelmar::sdk::ui
