#pragma once

#include "host/ArgList.h"
#include "host/DataLoaderRepository.h"
#include "host/KernelErrors.h"
#include "host/KernelLayout.h"
#include "host/KernelString.h"
#include "kernel/ApplicationModel.h"
#include "kernel/DataFileFormat.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "loaders/StandardDataLoaders.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

inline std::string lastKernelError() {
    return qelmar::sdk::KernelString(QelUtilGetLastErrorMessage()).str();
}

// What the user sees of the application: every frame with the values its data set shows.
inline std::string describeFrames() {
    std::ostringstream text;
    text.precision(17);
    for (const auto& page : qelmar::standin::ApplicationModel::instance().pages()) {
        for (const auto& frame : page.frames) {
            text << page.name << '/' << frame.name << ':';
            if (frame.dataSet) {
                for (const auto& variable : frame.dataSet->contents.values)
                    for (const double value : variable)
                        text << ' ' << value;
            }
            text << '\n';
        }
    }
    return text.str();
}

// Station files, one per frame, in folders under a temporary root, shown by a linked layout;
// the folders then move about as a user's project does.
class RelinkScene {
public:
    RelinkScene() {
        qelmar::sdk::ui::DataLoaderRepository::getInstance().clear();
        qelmar::standin::installStandardDataLoaders();
    }
    ~RelinkScene() { qelmar::sdk::ui::DataLoaderRepository::getInstance().clear(); }

    std::string path(const std::string& relative) const {
        return QDir(root.path()).filePath(QString::fromStdString(relative)).toStdString();
    }

    static qelmar::standin::testing::DataSetContents station(int number, double offset = 0.0) {
        return {"station " + std::to_string(number),
                {"hour", "temperature"},
                {{0.0, 1.0, 2.0}, {number + offset, number + 0.25 + offset, number - 0.5 + offset}}};
    }

    void writeStation(const std::string& relative, int number, double offset = 0.0) const {
        QDir().mkpath(QFileInfo(QString::fromStdString(path(relative))).absolutePath());
        const auto contents = station(number, offset);
        qelmar::standin::writeDataFile(path(relative),
                                       {contents.title, contents.variableNames, contents.values, {}});
    }

    // One frame per file, on pages of ten frames.
    void showStations(const std::vector<std::string>& files) {
        int page = -1;
        for (std::size_t index = 0; index < files.size(); ++index) {
            if (index % 10 == 0)
                page = app.addPage("Stations " + std::to_string(index / 10 + 1));
            const int number = static_cast<int>(index) + 1;
            writeStation(files[index], number);
            app.attachDataSet(app.addFrame(page, "Station " + std::to_string(number)), station(number), true,
                              path(files[index]));
        }
    }

    void saveLinked(const std::string& layout, bool relative = false) const {
        QDir().mkpath(QFileInfo(QString::fromStdString(path(layout))).absolutePath());
        qelmar::toolbox::ArgList args;
        ASSERT_TRUE(args.appendString("FName", path(layout)));
        ASSERT_TRUE(args.appendInt("IncludeData", 0));
        ASSERT_TRUE(args.appendInt("UseRelativePaths", relative ? 1 : 0));
        ASSERT_TRUE(QelUtilSaveLayoutX(args.getRef())) << lastKernelError();
    }

    void savePackage(const std::string& package) const {
        qelmar::toolbox::ArgList args;
        ASSERT_TRUE(args.appendString("FName", path(package)));
        ASSERT_TRUE(args.appendInt("IncludeData", 1));
        ASSERT_TRUE(QelUtilSaveLayoutX(args.getRef())) << lastKernelError();
    }

    void move(const std::string& from, const std::string& to) const {
        QDir().mkpath(QFileInfo(QString::fromStdString(path(to))).absolutePath());
        ASSERT_TRUE(QDir().rename(QString::fromStdString(path(from)), QString::fromStdString(path(to))))
            << from << " -> " << to;
    }

    // Through the layout loader, as the load-data dialog opens a layout.
    static bool open(const std::string& layout) {
        using qelmar::sdk::ui::DataLoaderRepository;
        for (const auto& loader : DataLoaderRepository::getInstance().dataLoaderInterfaces(true)) {
            if (loader->properties().name == DataLoaderRepository::QELMAR_LAYOUT_LOADER_NAME)
                return loader->load(nullptr, {layout}, false, qelmar::dataload::ReplaceAndResetStyle);
        }
        return false;
    }

    // Something else on screen, which an opening that fails must leave as it is.
    void showScratch() {
        qelmar::standin::ApplicationModel::instance().clear();
        app.attachDataSet(app.addFrame(app.addPage("Scratch"), "Sketch"), {"sketch", {"s"}, {{9.0}}}, false);
    }

    QTemporaryDir root;
    qelmar::standin::testing::KernelTestControl kernel;
    qelmar::standin::testing::ApplicationTestControl app;
};

} // namespace testsupport
