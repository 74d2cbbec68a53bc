#include "host/FilenameStrategy.h"
#include "host/KernelMessages.h"
#include "host/QelUtilActionReporter.h"
#include "kernel/LastError.h"
#include "kernel/testing/KernelTestControl.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace qelmar::framework::test {

using sdk::ui::FilenameStrategy;

TEST(ActionReporter, AFailureShowsOneErrorOfTheNonEmptyPartsEachOnItsOwnLine) {
    standin::testing::KernelTestControl kernel;
    const sdk::ui::QelUtilActionReporter reporter;
    standin::setLastErrorMessage("Disk full");
    EXPECT_TRUE(reporter.reportResult(true, "Error saving layout", "case.lay"));
    EXPECT_TRUE(kernel.messages().empty());

    EXPECT_FALSE(reporter.reportResult(false, "Error saving layout", "case.lay"));
    EXPECT_FALSE(reporter.reportResult(false, "Error saving layout", ""));
    standin::clearLastErrorMessage();
    EXPECT_FALSE(reporter.reportResult(false, "Error saving layout", ""));
    std::vector<std::string> texts;
    for (const auto& message : kernel.messagesOfType(MessageBox_Error))
        texts.push_back(message.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Error saving layout\ncase.lay\nDisk full",
                                               "Error saving layout\nDisk full", "Error saving layout"}));
    EXPECT_EQ(kernel.messages().size(), 3u);
}

TEST(FileNames, EachCategoryHasItsDefaultUntilAChosenFileReplacesItAndResetRestoresIt) {
    FilenameStrategy& strategy = FilenameStrategy::getManager();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const std::string initial =
        (QFileInfo(documents).isDir() ? QDir::cleanPath(documents) : QDir::currentPath()).toStdString();
    EXPECT_EQ(strategy.getDefaultDirectory(FilenameStrategy::FileCategory_Layout), initial);
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_Layout), "untitled.lay");
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_Macro), "untitled.mcr");

    strategy.rememberFile(FilenameStrategy::FileCategory_Layout, "/data/projects/../runs/case.lpk");
    strategy.rememberFile(FilenameStrategy::FileCategory_Layout, "");
    EXPECT_EQ(strategy.getDefaultDirectory(FilenameStrategy::FileCategory_Layout), "/data/runs");
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_Layout), "case.lpk");
    EXPECT_EQ(strategy.getDefaultDirectory(FilenameStrategy::FileCategory_DataFile), initial);
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_DataFile), "untitled.plt");

    strategy.reset();
    EXPECT_EQ(strategy.getDefaultDirectory(FilenameStrategy::FileCategory_Layout), initial);
    EXPECT_EQ(strategy.getDefaultFileName(FilenameStrategy::FileCategory_Layout), "untitled.lay");
}

} // namespace qelmar::framework::test
