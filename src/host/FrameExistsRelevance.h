#pragma once

#include "propertyframework/RelevanceInterface.h"

#include <memory>

namespace qelmar::sdk::ui::propertymanager {

// True while the application has a frame. Follows the kernel's announcements of frames coming
// and going for as long as it lives, and asks the kernel on every isRelevant();
// callRelevanceChanged() tells the observers to ask again.
class FrameExistsRelevance : public virtual RelevanceInterface {
public:
    FrameExistsRelevance();
    ~FrameExistsRelevance() override;

    bool isRelevant() const override;
    void callRelevanceChanged() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::propertymanager
