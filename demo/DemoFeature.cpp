#include "DemoFeature.h"

#include <algorithm>

namespace qelmar::demo {
namespace {

std::vector<DemoFeature>& features() {
    static std::vector<DemoFeature> registered;
    return registered;
}

} // namespace

DemoFeatureRegistration::DemoFeatureRegistration(DemoFeature feature) {
    features().push_back(std::move(feature));
}

std::vector<DemoFeature> registeredDemoFeatures() {
    std::vector<DemoFeature> sorted = features();
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const DemoFeature& a, const DemoFeature& b) { return a.order < b.order; });
    return sorted;
}

} // namespace qelmar::demo
