#include "loaders/StandardDataLoaders.h"

#include "host/DataLoaderRepository.h"

namespace qelmar::standin {

void installStandardDataLoaders() {
    auto& repository = qelmar::sdk::ui::DataLoaderRepository::getInstance();
    repository.addLoader(makeDataFileLoader(), true);
    repository.addLoader(makeDelimitedTextLoader(), true);
    repository.addLoader(makeNetCdfLoader(), true);
    repository.addLoader(makeDataGeneratorLoader(), false);
    repository.addLoader(makeLayoutLoader(), true);
}

} // namespace qelmar::standin
