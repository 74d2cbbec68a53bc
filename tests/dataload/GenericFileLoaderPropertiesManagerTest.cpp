#include "GenericFileLoaderTestLoaders.h"

#include "dataload/GenericFileLoaderPropertiesManager.h"

namespace qelmar::dataload::test {

using sdk::ui::propertymanager::GenericFileLoaderPropertiesManager;
using Selection = GenericFileLoaderPropertiesManager::Selection;

namespace {

struct LoaderState {
    bool advancedRelevant, advancedOptions, multipleFiles, fileSystemView;
};

LoaderState stateOf(const GenericFileLoaderPropertiesManager& manager) {
    return {manager.advancedOptionsRelevance()->isRelevant(), manager.advancedOptions()->retrieveValue(),
            manager.multipleFilesSupportRelevance()->isRelevant(),
            manager.fileSystemViewRelevance()->isRelevant()};
}

} // namespace

using FileLoaderManagerTest = LoaderRepositoryTest;

TEST_F(FileLoaderManagerTest, EachLoaderDecidesItsOptionsFilesAndBrowsing) {
    addUsualLoaders();
    GenericFileLoaderPropertiesManager manager;
    EXPECT_EQ(manager.loaderExtensions(),
              (std::vector<std::string>{"Binary (*.plt)", "Delimited Text (*.csv *.txt)", "NetCDF (*.nc)",
                                        "Generator (Open to use) (*.*)"}));

    const std::vector<std::tuple<bool, bool, bool, bool>> expected{
        {false, false, true, true},
        {true, false, true, true},
        {false, true, true, true},
        // Declares several files, but takes none from the dialog.
        {false, true, false, false}};
    for (int index = 3; index >= 0; --index) {
        manager.advancedOptions()->setValue(index == 1);
        manager.setCurrentSelectedLoader(index);
        const LoaderState state = stateOf(manager);
        EXPECT_EQ(std::make_tuple(state.advancedRelevant, state.advancedOptions, state.multipleFiles,
                                  state.fileSystemView),
                  expected[static_cast<std::size_t>(index)])
            << index;
        EXPECT_EQ(manager.selectedLoaderIndex()->retrieveValue(), index);
        EXPECT_EQ(manager.currentSelectedLoader(), DataLoaderRepository::getInstance().dataLoaderInterfaces(
                                                       true)[static_cast<std::size_t>(index)]);
    }
}

TEST_F(FileLoaderManagerTest, EveryChangeOfTheAdditionalFilesClearsTheSelection) {
    add(loader("Delimited Text", "*.csv", true, OptionsOnRequest));
    add(loader("Binary", "*.plt", false, NoOptions));
    GenericFileLoaderPropertiesManager manager;
    const auto selection = manager.additionalFilesListProperty();
    EXPECT_FALSE(manager.removeAllRelevance()->isRelevant());

    manager.addFilesToAdditionalFilesList({"/data/one.csv", "/data/d\u00fcnn.csv", "/data/one.csv"});
    EXPECT_EQ(manager.additionalFiles(),
              (std::vector<std::string>{"/data/one.csv", "/data/d\xc3\xbcnn.csv", "/data/one.csv"}));
    EXPECT_TRUE(manager.removeAllRelevance()->isRelevant());
    EXPECT_FALSE(manager.removeSelectedRelevance()->isRelevant());

    selection->setValue({0, 2});
    EXPECT_TRUE(manager.removeSelectedRelevance()->isRelevant());
    manager.addFilesToAdditionalFilesList({"/data/two.csv"});
    EXPECT_EQ(selection->retrieveValue(), Selection());

    selection->setValue({0, 2});
    manager.removeSelectionFromAdditionalFilesList();
    EXPECT_EQ(manager.additionalFiles(),
              (std::vector<std::string>{"/data/d\xc3\xbcnn.csv", "/data/two.csv"}));
    EXPECT_EQ(selection->retrieveValue(), Selection());

    // Without several files the list cannot be edited, whatever it holds.
    selection->setValue({1});
    manager.setCurrentSelectedLoader(1);
    EXPECT_FALSE(manager.removeSelectedRelevance()->isRelevant());
    EXPECT_FALSE(manager.removeAllRelevance()->isRelevant());

    manager.clearAdditionalFilesList();
    EXPECT_TRUE(manager.additionalFiles().empty());
    EXPECT_EQ(selection->retrieveValue(), Selection());
}

TEST_F(FileLoaderManagerTest, TheNextManagerKeepsTheAdvancedOptionsChoiceUntilALoaderIsSelected) {
    add(loader("Delimited Text", "*.csv", true, OptionsOnRequest));
    add(loader("Binary", "*.plt", false, NoOptions));
    {
        GenericFileLoaderPropertiesManager first;
        first.advancedOptions()->setValue(true);
    }
    GenericFileLoaderPropertiesManager second;
    EXPECT_TRUE(second.advancedOptions()->retrieveValue());
    EXPECT_TRUE(second.advancedOptionsAtStart());
    second.setCurrentSelectedLoader(1);
    second.setCurrentSelectedLoader(0);
    EXPECT_FALSE(second.advancedOptions()->retrieveValue());
}

} // namespace qelmar::dataload::test
