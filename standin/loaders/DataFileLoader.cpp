#include "loaders/DataFileChecks.h"
#include "loaders/LoaderSupport.h"
#include "loaders/StandardDataLoaders.h"

#include "kernel/DataFileFormat.h"

namespace qelmar::standin {

namespace {

// Every zone of the file through all of its time steps, one LoadedFile per zone.
void appendZonesOf(const std::string& path, std::vector<LoadedFile>& loaded) {
    DataFileContents contents = readDataFile(path);
    int zoneInFile = 0;
    for (auto& steps : contents.zones) {
        LoadedFile& zone = loaded.emplace_back();
        zone.path = path;
        zone.values = std::move(steps.front());
        zone.laterSteps.assign(std::make_move_iterator(steps.begin() + 1),
                               std::make_move_iterator(steps.end()));
        zone.zoneInFile = zoneInFile++;
    }
}

// The kernel's own binary data files.
class DataFileLoader : public qelmar::sdk::ui::DataLoaderInterface {
public:
    Properties properties() const override {
        Properties properties;
        properties.name = "Qelmar Data";
        properties.filePattern = "*.plt";
        properties.multipleFiles = true;
        return properties;
    }

    bool load(QWidget*, const std::vector<std::string>& files, bool,
              qelmar::dataload::DataLoadOption option) override {
        return readIntoAndLoad(
            files,
            [](const std::string& file, std::vector<LoadedFile>& loaded) {
                requireRegularFile(file);
                appendZonesOf(file, loaded);
            },
            option);
    }
};

} // namespace

qelmar::sdk::ui::DataLoaderPtr makeDataFileLoader() {
    return std::make_shared<DataFileLoader>();
}

} // namespace qelmar::standin
