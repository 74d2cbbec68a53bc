#pragma once

#include <QString>

#include <memory>

class QWidget;

namespace qelmar::demo {

// Writes the animation the export dialog set up in the kernel: one frame per time step of the
// application's data, in order, each step made current first so that the page view shows what
// is being written. A progress dialog counts the frames and offers Cancel. However the run
// ends, the time step that was current before is current again.
class AnimationRun {
public:
    enum Outcome_e { Outcome_Written, Outcome_Cancelled, Outcome_Failed };

    explicit AnimationRun(QWidget& dialogParent);
    ~AnimationRun();
    AnimationRun(const AnimationRun&) = delete;
    AnimationRun& operator=(const AnimationRun&) = delete;

    Outcome_e run();
    int framesWritten() const;
    // Why the kernel could not write the animation, after Outcome_Failed.
    QString failure() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::demo
