#pragma once

#include "host/DataLoaderInterface.h"

namespace qelmar::standin {

// Adds the stand-in's loaders to the data loader repository in the order the load-data dialog
// offers them: "Qelmar Data", "Delimited Text", "NetCDF" and "Data Generator" (the last brings
// its own dialog).
void installStandardDataLoaders();

qelmar::sdk::ui::DataLoaderPtr makeDataFileLoader();
qelmar::sdk::ui::DataLoaderPtr makeDelimitedTextLoader();
qelmar::sdk::ui::DataLoaderPtr makeNetCdfLoader();
qelmar::sdk::ui::DataLoaderPtr makeDataGeneratorLoader();

} // namespace qelmar::standin
