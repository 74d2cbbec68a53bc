#pragma once

#include "host/KernelErrors.h"
#include "host/KernelExport.h"
#include "host/KernelString.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/StyleTestControl.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace exporttest {

using qelmar::standin::StylePath;
using qelmar::standin::StyleVariant;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;
using qelmar::standin::testing::StyleTestControl;

inline std::string lastError() {
    const qelmar::sdk::KernelString message(QelUtilGetLastErrorMessage());
    return message.isNull() ? std::string() : message.str();
}

// A kernel of its own and a temporary folder for the files a test exports.
class ExportTestBase : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    std::string path(const std::string& name) const {
        return QDir(folder.path()).filePath(QString::fromStdString(name)).toStdString();
    }

    void set(const StylePath& path, const StyleVariant& value) {
        ASSERT_TRUE(styles.setFromElsewhere(path, value));
    }

    KernelTestControl kernel;
    ApplicationTestControl app;
    StyleTestControl styles;
    QTemporaryDir folder;
};

// One page: a three-dimensional "Surface" frame and a current "Curves" frame of two curves,
// placed where a test can tell their regions apart.
class ExportTestScene : public ExportTestBase {
protected:
    void SetUp() override {
        ExportTestBase::SetUp();
        const int page = app.addPage("Results");
        surface = app.addFrame(page, "Surface", 1);
        app.attachDataSet(surface, {"Field", {"X", "Y", "Z"}, {{0, 1, 2, 3}, {0, 2, 1, 3}, {1, 0, 2, 1}}},
                          false);
        curves = app.addFrame(page, "Curves");
        app.attachDataSet(curves, {"Run", {"t", "a", "b"}, {{0, 1, 2, 3}, {1, 4, 9, 16}, {2, 2, 3, 1}}},
                          false);
        app.setFramePlacement(curves, 0.5, 0.5, 4.5, 3.0);
        app.setFramePlacement(surface, 5.5, 0.5, 5.0, 6.0);
        app.setCurrentFrame(curves);
    }

    int curves = -1;
    int surface = -1;
};

} // namespace exporttest
