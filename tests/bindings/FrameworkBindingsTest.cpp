#include "BindingTestSupport.h"
#include "host/CheckButtonPropertyBinding.h"
#include "host/RelevanceApplier.h"
#include "kernel/testing/KernelTestControl.h"
#include "propertyframework/Property.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace qelmar;
using namespace qelmar::sdk::ui::dialogs;
using qelmar::standin::testing::KernelTestControl;

using namespace bindingtest;

TEST(CheckButtonPropertyBinding, FollowsPropertyAndCommitsClicksBothWays) {
    KernelTestControl kernel;
    QWidget form;
    auto* box = new QCheckBox("Antialiasing", &form);
    auto property = std::make_shared<LockCheckingProperty<bool>>(true);
    CheckButtonPropertyBinding binding(box, property);

    EXPECT_TRUE(box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_FALSE(property->retrieveValue());
    EXPECT_TRUE(property->storedUnderLock);
    property->setValue(true);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(property->stores, 2) << "showing the value must not come back as an edit";
}

TEST(CheckButtonPropertyBinding, InvertedButtonShowsTheOppositeValue) {
    KernelTestControl kernel;
    QWidget form;
    auto* box = new QCheckBox("Hide", &form);
    auto property = std::make_shared<Property<bool>>(true);
    CheckButtonPropertyBinding binding(box, property, true);

    EXPECT_FALSE(box->isChecked());
    box->click();
    EXPECT_FALSE(property->retrieveValue());
}

TEST(CheckButtonPropertyBinding, RefusedValueIsShownAndTheButtonReturns) {
    KernelTestControl kernel;
    QWidget form;
    auto* box = new QCheckBox("Option", &form);
    auto property =
        std::make_shared<Property<bool>>(false, std::make_shared<RefusingValidator<bool>>(true, "Not now."));
    CheckButtonPropertyBinding binding(box, property);

    box->click();
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(property->retrieveValue());
    ASSERT_EQ(kernel.messagesOfType(0).size(), 1u);
    EXPECT_EQ(kernel.messagesOfType(0).front().text, "Not now.");
}

TEST(CheckButtonPropertyBinding, DeferredModeCoalescesChangesAndFollowsRelevanceStates) {
    KernelTestControl kernel;
    QWidget form;
    auto* box = new QCheckBox("Option", &form);
    auto property = std::make_shared<Property<bool>>(false);
    CheckButtonPropertyBinding binding(box, property, false, BindingInterface::WidgetUpdate_OnIdle);
    int toggles = 0;
    QObject::connect(box, &QCheckBox::toggled, [&toggles] { ++toggles; });

    for (int i = 0; i < 11; ++i)
        property->setValue(i % 2 == 0);
    EXPECT_EQ(toggles, 0);
    processIdle();
    EXPECT_EQ(toggles, 1);
    EXPECT_TRUE(box->isChecked());

    auto sensitivity = std::make_shared<SwitchRelevance>(false);
    binding.setSensitivityRelevance(sensitivity);
    processIdle();
    EXPECT_FALSE(box->isEnabled());
    sensitivity->set(true);
    processIdle();
    EXPECT_TRUE(box->isEnabled());
}

TEST(CheckButtonPropertyBinding, OutlivesItsButtonAndItsOwnerReleasingTheProperty) {
    KernelTestControl kernel;
    auto property = std::make_shared<Property<bool>>(false);
    auto form = std::make_unique<QWidget>();
    auto binding = std::make_unique<CheckButtonPropertyBinding>(new QCheckBox(form.get()), property);
    form.reset();
    property->setValue(true);
    const std::size_t slotsWhileBound = property->valueChangedSlotCount();
    binding.reset();
    EXPECT_LT(property->valueChangedSlotCount(), slotsWhileBound);
}

TEST(RelevanceApplier, EnablesOrShowsWidgetsFromTheStart) {
    QWidget form;
    auto* first = new QLineEdit(&form);
    auto* second = new QLineEdit(&form);
    auto relevance = std::make_shared<SwitchRelevance>(false);

    RelevanceApplier enabler(relevance, first, second);
    EXPECT_FALSE(first->isEnabled());
    EXPECT_FALSE(second->isEnabled());
    relevance->set(true);
    EXPECT_TRUE(first->isEnabled());
    EXPECT_TRUE(second->isEnabled());

    auto* shown = new QLineEdit(&form);
    RelevanceApplier shower(relevance, std::vector<QWidget*>{shown}, RelevanceApplier::Manifestation_Show,
                            BindingInterface::WidgetUpdate_OnIdle);
    EXPECT_FALSE(shown->isHidden());
    relevance->set(false);
    EXPECT_FALSE(shown->isHidden()) << "idle mode waits for the event loop";
    processIdle();
    EXPECT_TRUE(shown->isHidden());
    EXPECT_FALSE(first->isEnabled());
}

TEST(RelevanceApplier, LeavesDestroyedWidgetsAlone) {
    QWidget form;
    auto* kept = new QLineEdit(&form);
    auto* gone = new QLineEdit(&form);
    auto relevance = std::make_shared<SwitchRelevance>(true);
    RelevanceApplier applier(relevance, kept, gone, 0, 0);
    delete gone;
    relevance->set(false);
    EXPECT_FALSE(kept->isEnabled());
}
