#include "framework/dataload/LoaderSupport.h"
#include "framework/dataload/StandardDataLoaders.h"

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

    // The first file that cannot be read loads nothing and becomes the kernel's last error.
    bool load(QWidget*, const std::vector<std::string>& files, bool,
              qelmar::dataload::DataLoadOption option) override {
        std::vector<LoadedFile> loaded;
        try {
            for (const std::string& file : files)
                appendZonesOf(file, loaded);
        } catch (const std::exception& failure) {
            setLastErrorMessage(failure.what());
            return false;
        }
        return loadData(std::move(loaded), option);
    }
};

} // namespace

qelmar::sdk::ui::DataLoaderPtr makeDataFileLoader() {
    return std::make_shared<DataFileLoader>();
}

} // namespace qelmar::standin
