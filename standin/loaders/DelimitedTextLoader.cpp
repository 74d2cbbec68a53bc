#include "loaders/DelimitedText.h"
#include "loaders/DelimitedTextOptionsDialog.h"
#include "loaders/LoaderSupport.h"
#include "loaders/StandardDataLoaders.h"

namespace qelmar::standin {

namespace {

// Numeric tables in text files with a header row of variable names.
class DelimitedTextLoader : public qelmar::sdk::ui::DataLoaderInterface {
public:
    Properties properties() const override {
        Properties properties;
        properties.name = "Delimited Text";
        properties.filePattern = "*.csv *.txt *.dat";
        properties.multipleFiles = true;
        properties.advancedOptionsMode = AdvancedOptions_OnRequest;
        return properties;
    }

    bool load(QWidget* parent, const std::vector<std::string>& files, bool advancedOptions,
              qelmar::dataload::DataLoadOption option) override {
        DelimitedTextOptions options;
        if (advancedOptions) {
            DelimitedTextOptionsDialog dialog(parent);
            if (dialog.exec() != QDialog::Accepted)
                return cancelledLoad();
            options = dialog.options();
        }
        return readAndLoad(
            files, [&options](const std::string& file) { return readDelimitedText(file, options); }, option);
    }
};

} // namespace

qelmar::sdk::ui::DataLoaderPtr makeDelimitedTextLoader() {
    return std::make_shared<DelimitedTextLoader>();
}

} // namespace qelmar::standin
