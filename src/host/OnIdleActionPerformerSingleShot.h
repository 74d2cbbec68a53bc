#pragma once

#include <functional>
#include <memory>

namespace qelmar::sdk::ui {

// Runs an action once at the next idle moment of the event loop, however often it was asked
// to in between. Destroying the performer drops a pending run.
class OnIdleActionPerformerSingleShot {
public:
    explicit OnIdleActionPerformerSingleShot(std::function<void()> action);
    OnIdleActionPerformerSingleShot(const OnIdleActionPerformerSingleShot&) = delete;
    OnIdleActionPerformerSingleShot& operator=(const OnIdleActionPerformerSingleShot&) = delete;
    ~OnIdleActionPerformerSingleShot();

    void enableNotification();
    bool isPending() const;
    // Runs a pending action now instead of at the next idle moment.
    void flush();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui
