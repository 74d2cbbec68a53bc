#pragma once

#include "host/DataLoaderInterface.h"

namespace qelmar::standin {

// Adds the stand-in's loaders to the data loader repository in the order the load-data dialog
// offers them: "Qelmar Data", "Delimited Text", "NetCDF", "Data Generator" (which brings its own
// dialog) and the layout loader, DataLoaderRepository::QELMAR_LAYOUT_LOADER_NAME.
void installStandardDataLoaders();

qelmar::sdk::ui::DataLoaderPtr makeDataFileLoader();
qelmar::sdk::ui::DataLoaderPtr makeDelimitedTextLoader();
qelmar::sdk::ui::DataLoaderPtr makeNetCdfLoader();
qelmar::sdk::ui::DataLoaderPtr makeDataGeneratorLoader();
qelmar::sdk::ui::DataLoaderPtr makeLayoutLoader();

} // namespace qelmar::standin
