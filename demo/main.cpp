// The demo host: a main window standing for the application, with a command for every dialog
// of the library. Given --tour DIR it runs the scripted tour instead and leaves in DIR the
// files the dialogs produced and screenshots of them.

#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "TourContext.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

namespace {

using qelmar::demo::DemoMainWindow;
using qelmar::demo::TourContext;

void installFeatures(DemoMainWindow& window) {
    for (const auto& feature : qelmar::demo::registeredDemoFeatures())
        feature.install(window);
}

int runTour(DemoMainWindow& window, const QString& folder) {
    // The tour's kernel controls start from a fresh kernel, so the features build their sample
    // data only after them.
    TourContext tour(QDir(folder).absolutePath(), window);
    installFeatures(window);
    std::printf("Tour files in %s:\n", qPrintable(QDir(folder).absolutePath()));
    std::fflush(stdout);
    window.show();
    for (const auto& feature : qelmar::demo::registeredDemoFeatures()) {
        if (feature.runTour && !tour.failed())
            feature.runTour(tour);
    }
    if (!tour.failed()) {
        // A feature's tour may have left its own tab in front.
        window.showApplicationPage();
        tour.screenshot(window, QStringLiteral("main_window.png"),
                        QStringLiteral("the demo's main window with the application's pages"));
    }
    if (tour.failed()) {
        std::fprintf(stderr, "The tour failed.\n");
        return 1;
    }
    std::printf("The tour finished; tour-manifest.txt lists its files.\n");
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qelmar-demo"));
    QApplication::setOrganizationName(QStringLiteral("Qelmar"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Opens the input and output dialogs against the demo kernel."));
    parser.addHelpOption();
    const QCommandLineOption tourOption(
        QStringLiteral("tour"), QStringLiteral("Runs the scripted tour, writing its files into <folder>."),
        QStringLiteral("folder"));
    parser.addOption(tourOption);
    parser.process(application);

    DemoMainWindow window;
    if (parser.isSet(tourOption))
        return runTour(window, parser.value(tourOption));
    installFeatures(window);
    window.show();
    return QApplication::exec();
}
