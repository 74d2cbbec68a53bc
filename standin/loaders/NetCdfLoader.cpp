#include "host/KernelMessages.h"
#include "loaders/LoaderSupport.h"
#include "loaders/NetCdfFile.h"
#include "loaders/NetCdfOptionsDialog.h"
#include "loaders/StandardDataLoaders.h"

#include <QFileInfo>
#include <QString>

#include <stdexcept>

namespace qelmar::standin {

namespace {

// NetCDF files; the options name the variables to load, chosen among the first file's and
// taken by name from every file.
class NetCdfLoader : public qelmar::sdk::ui::DataLoaderInterface {
public:
    Properties properties() const override {
        Properties properties;
        properties.name = "NetCDF";
        properties.filePattern = "*.nc";
        properties.multipleFiles = true;
        properties.advancedOptionsMode = AdvancedOptions_Always;
        return properties;
    }

    bool load(QWidget* parent, const std::vector<std::string>& files, bool advancedOptions,
              qelmar::dataload::DataLoadOption option) override {
        std::vector<std::string> wanted;
        if (advancedOptions && !files.empty()) {
            std::vector<NetCdfVariable> variables;
            try {
                variables = netCdfVariables(files.front());
            } catch (const std::runtime_error& failure) {
                setLoadFailure(failure.what());
                return false;
            }
            NetCdfOptionsDialog dialog(
                QFileInfo(QString::fromStdString(files.front())).fileName().toStdString(), variables, parent);
            if (dialog.exec() != QDialog::Accepted)
                return cancelledLoad();
            wanted = dialog.chosenVariables();
        }
        std::vector<std::string> notes;
        const bool loaded = readFilesAndLoad(
            files,
            [&wanted, &notes](const std::string& file) {
                NetCdfLoad read = readNetCdf(file, wanted);
                notes.insert(notes.end(), read.notes.begin(), read.notes.end());
                return std::move(read.file);
            },
            option);
        if (loaded) {
            for (const std::string& note : notes)
                // Information, not a warning: the load went ahead with what it could take.
                QelUtilDialogMessageBox(note.c_str(), MessageBox_Information);
        }
        return loaded;
    }
};

} // namespace

qelmar::sdk::ui::DataLoaderPtr makeNetCdfLoader() {
    return std::make_shared<NetCdfLoader>();
}

} // namespace qelmar::standin
