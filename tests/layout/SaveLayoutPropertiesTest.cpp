#include "LayoutTestFixture.h"

#include "layout/SaveLayoutPropertiesGenerated.h"
#include "layout/SaveLayoutPropertiesManager.h"
#include "propertyframework/Property.h"
#include "propertyframework/SignalConnectionCollection.h"

namespace qelmar::layout::test {

using sdk::ui::propertymanager::SaveLayoutPropertiesGenerated;
using sdk::ui::propertymanager::SaveLayoutPropertiesManager;

class SaveLayoutPropertiesTest : public LayoutTest {
protected:
    bool packageHasPreview(const std::string& name) const {
        const auto entries = ApplicationTestControl::packageEntries(path(name));
        return std::find(entries.begin(), entries.end(), "preview.png") != entries.end();
    }
};

TEST_F(SaveLayoutPropertiesTest, TheIncludedDataDecidesWhichOptionAppliesAndOnlySubmittingWrites) {
    styles.setFromElsewhere(useRelativePathsPath, true);
    SaveLayoutPropertiesGenerated set(true, {});
    SaveLayoutPropertiesManager manager(set);
    EXPECT_TRUE(manager.isUsingRelativeFilePath()->retrieveValue());
    EXPECT_FALSE(manager.includePreviewImageRelevance()->isRelevant());
    EXPECT_TRUE(manager.useRelativeDataFilePathRelevance()->isRelevant());
    int notifications = 0;
    sdk::SignalConnectionCollection connections;
    for (const auto& relevance :
         {manager.includePreviewImageRelevance(), manager.useRelativeDataFilePathRelevance()})
        connections.add(relevance->connectToRelevanceChangedSignal([&notifications] { ++notifications; }));

    manager.isIncludingData()->setValue(true);
    manager.isIncludingPreviewImage()->setValue(true);
    EXPECT_EQ(notifications, 2);
    EXPECT_TRUE(manager.includePreviewImageRelevance()->isRelevant());
    EXPECT_FALSE(manager.useRelativeDataFilePathRelevance()->isRelevant());
    EXPECT_FALSE(styles.boolValue(includeDataPath));

    set.submitProperties();
    EXPECT_TRUE(styles.boolValue(includeDataPath));
    EXPECT_TRUE(styles.boolValue(includePreviewPath));
    EXPECT_TRUE(styles.boolValue(useRelativePathsPath));
}

TEST_F(SaveLayoutPropertiesTest, ASaveUsesTheShownOptionsAndKeepsThemOnlyWhenItSucceeded) {
    app.changeDataSetWithoutJournal(velocity);
    SaveLayoutPropertiesGenerated set(true, {});
    SaveLayoutPropertiesManager manager(set);
    manager.isUsingRelativeFilePath()->setValue(true);
    questions.pressButton(QMessageBox::No);
    EXPECT_FALSE(manager.saveLayout(path("declined.lay")));
    kernel.failCall("QelUtilSaveLayoutX", standin::FailMode::Once);
    manager.isIncludingData()->setValue(true);
    EXPECT_FALSE(manager.saveLayout(path("failed.lpk")));
    EXPECT_FALSE(styles.boolValue(useRelativePathsPath) || styles.boolValue(includeDataPath));

    // What the dialog shows may be a replacement; what is kept is the kernel property beneath.
    set.setIncludePreviewInLayoutPackage(std::make_shared<Property<bool>>(true));
    ASSERT_TRUE(manager.saveLayout(path("shown.lpk")));
    EXPECT_TRUE(packageHasPreview("shown.lpk"));
    EXPECT_TRUE(styles.boolValue(includeDataPath));
    EXPECT_TRUE(styles.boolValue(useRelativePathsPath));
    EXPECT_FALSE(styles.boolValue(includePreviewPath));
}

TEST_F(SaveLayoutPropertiesTest, AnOptionTheKernelRefusesRaisesAfterTheLayoutWasWritten) {
    SaveLayoutPropertiesGenerated set(true, {});
    SaveLayoutPropertiesManager manager(set);
    styles.refuseWrites(useRelativePathsPath, std::string("Read-only configuration."));
    manager.isUsingRelativeFilePath()->setValue(true);
    EXPECT_THROW(manager.saveLayout(path("written.lay")), ExceptionBase);
    EXPECT_TRUE(ApplicationTestControl::readLayoutFile(path("written.lay")).relativePaths);
}

} // namespace qelmar::layout::test
