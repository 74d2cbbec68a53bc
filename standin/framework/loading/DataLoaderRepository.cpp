#include "host/DataLoaderRepository.h"

#include <algorithm>

namespace qelmar::sdk::ui {

const char* const DataLoaderRepository::QELMAR_LAYOUT_LOADER_NAME = "Qelmar Layout";

DataLoaderRepository::DataLoaderRepository() = default;

DataLoaderRepository& DataLoaderRepository::getInstance() {
    static DataLoaderRepository repository;
    return repository;
}

std::vector<DataLoaderPtr> DataLoaderRepository::dataLoaderInterfaces(bool) const {
    std::vector<DataLoaderPtr> loaders;
    loaders.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        loaders.push_back(entry.loader);
    return loaders;
}

bool DataLoaderRepository::isModernLoader(const DataLoaderPtr& loader) const {
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&loader](const Entry& entry) { return entry.loader == loader; });
    return found != m_entries.end() && found->modern;
}

void DataLoaderRepository::addLoader(DataLoaderPtr loader, bool modern) {
    m_entries.push_back({std::move(loader), modern});
}

void DataLoaderRepository::clear() {
    m_entries.clear();
}

} // namespace qelmar::sdk::ui
