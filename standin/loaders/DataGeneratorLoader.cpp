#include "loaders/DataGeneratorDialog.h"
#include "loaders/LoaderSupport.h"
#include "loaders/StandardDataLoaders.h"

namespace qelmar::standin {

namespace {

// Data computed from a formula; asks for it in a dialog of its own and reads no file.
class DataGeneratorLoader : public qelmar::sdk::ui::DataLoaderInterface {
public:
    Properties properties() const override {
        Properties properties;
        properties.name = "Data Generator";
        properties.dialogFileSelection = DialogFileSelection_OwnDialog;
        properties.fileRequiredWithAdvancedOptions = false;
        return properties;
    }

    bool load(QWidget* parent, const std::vector<std::string>&, bool,
              qelmar::dataload::DataLoadOption option) override {
        DataGeneratorDialog dialog(parent);
        if (dialog.exec() != QDialog::Accepted)
            return cancelledLoad();
        FileZone generated;
        generated.values = dialog.generatedValues();
        return fillAndLoad(
            [&generated](qelmar::sdk::DataLoad& load) { handOver(load, std::move(generated)); }, option);
    }
};

} // namespace

qelmar::sdk::ui::DataLoaderPtr makeDataGeneratorLoader() {
    return std::make_shared<DataGeneratorLoader>();
}

} // namespace qelmar::standin
