#include "framework/dataload/DataFileChecks.h"
#include "framework/dataload/LoaderSupport.h"
#include "framework/dataload/StandardDataLoaders.h"

#include "kernel/DataFileFormat.h"

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
        return readAndLoad(
            files,
            [](const std::string& file) {
                requireRegularFile(file);
                return readDataFile(file);
            },
            option);
    }
};

} // namespace

qelmar::sdk::ui::DataLoaderPtr makeDataFileLoader() {
    return std::make_shared<DataFileLoader>();
}

} // namespace qelmar::standin
