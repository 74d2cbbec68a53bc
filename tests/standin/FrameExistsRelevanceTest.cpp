#include "host/FrameExistsRelevance.h"
#include "host/StateChangeEventObservable.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using qelmar::sdk::StateChangeEventObservable;
using qelmar::sdk::ui::propertymanager::FrameExistsRelevance;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;

// What an observer of the relevance saw: the answer it got each time it was notified.
class RelevanceObserver {
public:
    explicit RelevanceObserver(const FrameExistsRelevance& relevance)
        : m_connection(relevance.connectToRelevanceChangedSignal(
              [this, &relevance] { m_answers.push_back(relevance.isRelevant()); })) {}

    const std::vector<bool>& answers() const { return m_answers; }
    void clear() { m_answers.clear(); }

private:
    std::vector<bool> m_answers;
    boost::signals2::scoped_connection m_connection;
};

TEST(FrameExistsRelevanceTest, FollowsFramesComingAndGoing) {
    KernelTestControl kernel;
    ApplicationTestControl app;
    const int page = app.addPage("P");
    const int only = app.addFrame(page, "only");

    const FrameExistsRelevance relevance;
    RelevanceObserver observer(relevance);
    EXPECT_TRUE(relevance.isRelevant());

    app.removeFrame(only);
    EXPECT_EQ(observer.answers(), std::vector<bool>{false});
    EXPECT_EQ(app.currentFrame(), -1);

    observer.clear();
    const int second = app.addFrame(app.addPage("Q"), "second");
    EXPECT_EQ(observer.answers(), std::vector<bool>{true});

    // Deleting one of two frames keeps the answer; the other frame becomes current.
    const int third = app.addFrame(page, "third");
    observer.clear();
    app.removeFrame(third);
    EXPECT_EQ(observer.answers(), std::vector<bool>{true});
    EXPECT_EQ(app.currentFrame(), second);

    // Other changes of the application are not about frames.
    observer.clear();
    app.setCurrentLayoutFileName("/x/y.lay");
    app.addPage("R");
    EXPECT_TRUE(observer.answers().empty());

    relevance.callRelevanceChanged();
    EXPECT_EQ(observer.answers(), std::vector<bool>{true});
}

TEST(FrameExistsRelevanceTest, StopsFollowingTheKernelWhenDestroyed) {
    KernelTestControl kernel;
    ApplicationTestControl app;
    const std::size_t before = StateChangeEventObservable::getInstance().subscriberCount();
    std::vector<bool> answers;
    {
        FrameExistsRelevance relevance;
        EXPECT_EQ(StateChangeEventObservable::getInstance().subscriberCount(), before + 1);
        relevance.connectToRelevanceChangedSignal([&] { answers.push_back(true); });
    }
    EXPECT_EQ(StateChangeEventObservable::getInstance().subscriberCount(), before);
    app.addFrame(app.addPage("P"), "f");
    EXPECT_TRUE(answers.empty());
    EXPECT_THROW(app.removeFrame(12345), std::out_of_range);
}

} // namespace
