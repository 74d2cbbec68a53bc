#include "loaders/LoaderSupport.h"
#include "loaders/StandardDataLoaders.h"

#include "host/ArgList.h"
#include "host/DataLoaderRepository.h"
#include "host/KernelLayout.h"

namespace qelmar::standin {

namespace {

// Opens a layout or a layout package in place of the application's pages, or after them.
class LayoutLoader : public qelmar::sdk::ui::DataLoaderInterface {
public:
    Properties properties() const override {
        Properties properties;
        properties.name = qelmar::sdk::ui::DataLoaderRepository::QELMAR_LAYOUT_LOADER_NAME;
        properties.filePattern = "*.lay *.lpk";
        return properties;
    }

    // Replacing and appending are the only two ways a layout joins what is there; every
    // replace choice replaces.
    bool load(QWidget*, const std::vector<std::string>& files, bool,
              qelmar::dataload::DataLoadOption option) override {
        if (option == qelmar::dataload::DataLoadOption_None)
            return cancelledLoad();
        if (files.size() != 1) {
            setLoadFailure("Choose one layout file to open.");
            return false;
        }
        qelmar::toolbox::ArgList args;
        if (!args.appendString("FName", files.front()) ||
            !args.appendInt("Append", option == qelmar::dataload::Append ? 1 : 0)) {
            setLoadFailure("There is not enough memory to open the layout " + files.front() + ".");
            return false;
        }
        return QelUtilOpenLayoutX(args.getRef());
    }
};

} // namespace

qelmar::sdk::ui::DataLoaderPtr makeLayoutLoader() {
    return std::make_shared<LayoutLoader>();
}

} // namespace qelmar::standin
