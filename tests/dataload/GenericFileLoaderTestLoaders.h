#pragma once

#include "dataload/GenericFileLoaderPropertiesManager.h"
#include "host/DataLoaderRepository.h"

#include <gtest/gtest.h>

#include <string>

namespace qelmar::dataload::test {

using sdk::ui::DataLoaderInterface;
using sdk::ui::DataLoaderRepository;

class FakeLoader : public DataLoaderInterface {
public:
    explicit FakeLoader(Properties properties)
        : m_properties(std::move(properties)) {}
    Properties properties() const override { return m_properties; }
    bool load(QWidget*, const std::vector<std::string>&, bool, DataLoadOption) override { return false; }

private:
    Properties m_properties;
};

constexpr auto NoOptions = DataLoaderInterface::AdvancedOptions_None;
constexpr auto OptionsOnRequest = DataLoaderInterface::AdvancedOptions_OnRequest;
constexpr auto OptionsAlways = DataLoaderInterface::AdvancedOptions_Always;
constexpr auto OwnDialog = DataLoaderInterface::DialogFileSelection_OwnDialog;
constexpr auto FromDialog = DataLoaderInterface::DialogFileSelection_FromDialog;

inline DataLoaderInterface::Properties
loader(std::string name, std::string pattern, bool multipleFiles,
       DataLoaderInterface::AdvancedOptionsMode_e advancedMode, bool fileRequiredWithAdvanced = true,
       DataLoaderInterface::DialogFileSelection_e dialogFileSelection = FromDialog) {
    return {std::move(name), std::move(pattern),       multipleFiles,
            advancedMode,    fileRequiredWithAdvanced, dialogFileSelection};
}

// Registers loaders in the process-wide repository for one test and empties it afterwards.
class LoaderRepositoryTest : public ::testing::Test {
protected:
    // The advanced options choice lives as long as the process; each test starts without it.
    void SetUp() override {
        sdk::ui::propertymanager::GenericFileLoaderPropertiesManager().advancedOptions()->setValue(false);
    }
    void TearDown() override { DataLoaderRepository::getInstance().clear(); }

    static void add(DataLoaderInterface::Properties properties, bool modern = true) {
        DataLoaderRepository::getInstance().addLoader(std::make_shared<FakeLoader>(std::move(properties)),
                                                      modern);
    }
    // The application's usual set: a binary format without options, delimited text whose
    // options the user may ask for, one whose options are always used, and a generator with
    // its own dialog.
    static void addUsualLoaders() {
        add(loader("Binary", "*.plt", true, NoOptions));
        add(loader("Delimited Text", "*.csv *.txt", true, OptionsOnRequest, false));
        add(loader("NetCDF", "*.nc", true, OptionsAlways));
        add(loader("Generator", "*.*", true, OptionsOnRequest, true, OwnDialog), false);
    }
};

} // namespace qelmar::dataload::test
