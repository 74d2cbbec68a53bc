#include "host/FilenameStrategy.h"
#include "host/QelUtilActionReporter.h"
#include "kernel/LastError.h"
#include "kernel/testing/KernelTestControl.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace qelmar::framework::test {

using sdk::ui::FilenameStrategy;
using sdk::ui::QelUtilActionReporter;

class ActionReporter : public ::testing::Test {
protected:
    std::vector<std::string> errorTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : kernel.messagesOfType(0))
            texts.push_back(message.text);
        return texts;
    }

    standin::testing::KernelTestControl kernel;
    const QelUtilActionReporter reporter;
};

TEST_F(ActionReporter, ASuccessIsPassedOnSilently) {
    standin::setLastErrorMessage("left over from before");
    EXPECT_TRUE(reporter.reportResult(true, "Error saving layout", "detail"));
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(ActionReporter, AFailureShowsOneErrorWithDetailAndTheKernelsReasonOnLinesOfTheirOwn) {
    standin::setLastErrorMessage("Disk full while writing /data/run.plt");
    EXPECT_FALSE(reporter.reportResult(false, "Error while writing data set.", "Frame: Temperature"));
    EXPECT_EQ(errorTexts(), std::vector<std::string>{"Error while writing data set.\nFrame: Temperature\n"
                                                     "Disk full while writing /data/run.plt"});
    EXPECT_EQ(kernel.messages().size(), 1u);
}

TEST_F(ActionReporter, EmptyPartsLeaveNoEmptyLines) {
    EXPECT_FALSE(reporter.reportResult(false, "Error saving layout", ""));
    standin::setLastErrorMessage("Permission denied");
    EXPECT_FALSE(reporter.reportResult(false, "Error saving layout", ""));
    standin::clearLastErrorMessage();
    EXPECT_FALSE(reporter.reportResult(false, "Error saving layout", "case.lay"));
    EXPECT_EQ(errorTexts(),
              (std::vector<std::string>{"Error saving layout", "Error saving layout\nPermission denied",
                                        "Error saving layout\ncase.lay"}));
}

class FileNames : public ::testing::Test {
protected:
    void TearDown() override { strategy.reset(); }

    FilenameStrategy& strategy = FilenameStrategy::getManager();
};

TEST_F(FileNames, EachCategoryStartsWithUntitledAndItsExtensionInTheDocumentsFolder) {
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_Layout), "untitled.lay");
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_DataFile), "untitled.plt");
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_Macro), "untitled.mcr");
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_Export), "untitled.png");

    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString expected = QFileInfo(documents).isDir() ? QDir::cleanPath(documents) : QDir::currentPath();
    for (int category : {1, 2, 3, 7})
        EXPECT_EQ(strategy.getDefaultDirectory(category), expected.toStdString()) << category;
}

TEST_F(FileNames, AChosenFileBecomesItsCategorysDefaultUntilReset) {
    const std::string initialFolder = strategy.getDefaultDirectory(FilenameStrategy::FileCategory_Macro);
    strategy.rememberFile(FilenameStrategy::FileCategory_Layout, "/data/projects/../runs/case.lpk");
    EXPECT_EQ(strategy.getDefaultDirectory(FilenameStrategy::FileCategory_Layout), "/data/runs");
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_Layout), "case.lpk");
    EXPECT_EQ(strategy.getDefaultDirectory(FilenameStrategy::FileCategory_Macro), initialFolder);
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_DataFile), "untitled.plt");

    strategy.rememberFile(FilenameStrategy::FileCategory_Layout, "");
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_Layout), "case.lpk");
    strategy.rememberFile(FilenameStrategy::FileCategory_Layout, "/data/other.lay");
    EXPECT_EQ(strategy.getDefaultDirectory(FilenameStrategy::FileCategory_Layout), "/data");

    strategy.reset();
    EXPECT_EQ(strategy.getDefaultDirectory(FilenameStrategy::FileCategory_Layout), initialFolder);
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_Layout), "untitled.lay");
}

} // namespace qelmar::framework::test
