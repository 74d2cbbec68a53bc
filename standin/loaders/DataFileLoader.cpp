#include "loaders/DataFileChecks.h"
#include "loaders/LoaderSupport.h"
#include "loaders/StandardDataLoaders.h"

namespace qelmar::standin {

namespace {

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
            [](const std::string& file, qelmar::sdk::DataLoad& load) {
                requireRegularFile(file);
                // The kernel reads its own files, every zone through all of its time steps.
                requireAccepted(load.readDataFile(file));
            },
            option);
    }
};

} // namespace

qelmar::sdk::ui::DataLoaderPtr makeDataFileLoader() {
    return std::make_shared<DataFileLoader>();
}

} // namespace qelmar::standin
