#pragma once

#include <functional>
#include <vector>

namespace qelmar::demo {

class DemoMainWindow;
class TourContext;

// One dialog the demo host offers: how it enters the main window and what the scripted tour
// does with it. Features register themselves from their own source file, so adding a dialog to
// the demo never touches the main window.
struct DemoFeature {
    // Features are installed and toured in ascending order.
    int order = 0;
    std::function<void(DemoMainWindow&)> install;
    // May be empty: the feature then takes no part in the tour.
    std::function<void(TourContext&)> runTour;
};

std::vector<DemoFeature> registeredDemoFeatures();

// Define one at namespace scope in the feature's source file:
//   static const DemoFeatureRegistration registration{{20, install, runTour}};
struct DemoFeatureRegistration {
    explicit DemoFeatureRegistration(DemoFeature feature);
};

} // namespace qelmar::demo
