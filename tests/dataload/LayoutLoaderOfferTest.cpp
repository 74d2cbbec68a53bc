#include "dataload/GenericFileLoaderQtDialog.h"
#include "host/DataLoaderRepository.h"
#include "kernel/testing/KernelTestControl.h"
#include "loaders/StandardDataLoaders.h"

#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using qelmar::dialogs::io::GenericFileLoaderQtDialog;
using qelmar::sdk::ui::DataLoaderRepository;

// The load-data dialog promises to open layouts: the application's loaders must include one
// under the name the dialog recognises.
TEST(LayoutLoaderOffer, TheLoadDataDialogListsLayoutsAndKnowsWhenTheyAreChosen) {
    qelmar::standin::testing::KernelTestControl kernel;
    DataLoaderRepository::getInstance().clear();
    qelmar::standin::installStandardDataLoaders();
    QTemporaryDir folder;
    QWidget host;
    const QString layouts = QStringLiteral("Qelmar Layout (*.lay *.lpk)");
    {
        GenericFileLoaderQtDialog dialog(host, DataLoaderRepository::QELMAR_LAYOUT_LOADER_NAME,
                                         folder.path().toStdString());
        EXPECT_TRUE(dialog.nameFilters().contains(layouts)) << dialog.nameFilters().join('|').toStdString();
        EXPECT_EQ(dialog.selectedNameFilter(), layouts);
        EXPECT_TRUE(dialog.isQelmarLayoutLoaderSelected());
    }
    GenericFileLoaderQtDialog data(host, "Qelmar Data", folder.path().toStdString());
    EXPECT_FALSE(data.isQelmarLayoutLoaderSelected());
    DataLoaderRepository::getInstance().clear();
}

} // namespace
