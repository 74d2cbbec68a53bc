// The "Bindings" page: a form of every binding kind to try by hand.

#include "BindingsDemoPage.h"
#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "TourContext.h"

#include <QApplication>

namespace qelmar::demo {
namespace {

BindingsDemoPage* page = nullptr;

void install(DemoMainWindow& window) {
    page = new BindingsDemoPage;
    window.addPage(page, QApplication::translate("BindingsDemo", "Bindings"));
}

void runTour(TourContext& tour) {
    tour.window().showPage(page);
    tour.screenshot(tour.window(), QStringLiteral("bindings_page.png"), QStringLiteral("the Bindings page"));
}

const DemoFeatureRegistration registration{{90, install, runTour}};

} // namespace
} // namespace qelmar::demo
