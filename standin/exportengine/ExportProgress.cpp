#include "exportengine/ExportProgress.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace qelmar::standin {

namespace {

struct ProgressState {
    ExportProgress::Listener listener;
    double stageFrom = 0.0;
    double stageTo = 1.0;
    double lastShare = -1.0;
    std::chrono::steady_clock::time_point lastCall;
};

ProgressState& state() {
    static ProgressState progress;
    return progress;
}

// A listener usually repaints and handles events; calling it for every small step of a dense
// curve or every block an encoder writes would cost more than the work itself.
bool worthTelling(const ProgressState& progress, double share) {
    constexpr double smallestStep = 0.002;
    constexpr auto longestSilence = std::chrono::milliseconds(100);
    return progress.lastShare < 0 || share >= 1.0 || share - progress.lastShare >= smallestStep ||
           std::chrono::steady_clock::now() - progress.lastCall >= longestSilence;
}

} // namespace

ExportCancelled::ExportCancelled()
    : std::runtime_error("The export was cancelled.") {}

ExportProgress::Listening::Listening(Listener listener)
    : m_previous(std::exchange(state().listener, std::move(listener)))
    , m_previousShare(std::exchange(state().lastShare, -1.0)) {}

ExportProgress::Listening::~Listening() {
    state().listener = std::move(m_previous);
    state().lastShare = m_previousShare;
}

ExportProgress::Stage::Stage(double from, double to)
    : m_outerFrom(state().stageFrom)
    , m_outerTo(state().stageTo) {
    const double span = m_outerTo - m_outerFrom;
    state().stageFrom = m_outerFrom + span * from;
    state().stageTo = m_outerFrom + span * to;
}

ExportProgress::Stage::~Stage() {
    state().stageFrom = m_outerFrom;
    state().stageTo = m_outerTo;
}

bool ExportProgress::isListened() {
    return static_cast<bool>(state().listener);
}

void ExportProgress::report(double share) {
    ProgressState& progress = state();
    if (!progress.listener)
        return;
    const double overall =
        std::max(progress.lastShare,
                 progress.stageFrom + (progress.stageTo - progress.stageFrom) * std::clamp(share, 0.0, 1.0));
    if (!worthTelling(progress, overall))
        return;
    progress.lastShare = overall;
    progress.lastCall = std::chrono::steady_clock::now();
    if (!progress.listener(overall))
        throw ExportCancelled();
}

} // namespace qelmar::standin
