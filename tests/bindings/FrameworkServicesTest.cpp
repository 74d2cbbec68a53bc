#include "BindingTestSupport.h"
#include "host/CorrectFontCommandLinkButton.h"
#include "host/EnterKeySwallowingLineEdit.h"
#include "host/IntegralSpinBox.h"
#include "host/LabelPropertyBinding.h"
#include "host/OnIdleAfterPropertyChangeActionPerformer.h"
#include "host/QTextFieldObservable.h"
#include "host/SliderIntPropertyBinding.h"
#include "host/SpinBoxIntPropertyBinding.h"
#include "host/StringMassager.h"
#include "host/WidgetUpdateDeferrerOnBusy.h"
#include "kernel/testing/KernelTestControl.h"
#include "propertyframework/BoundedValueValidator.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>

using namespace qelmar;
using namespace qelmar::sdk::ui;
using namespace qelmar::sdk::ui::dialogs;
using namespace bindingtest;
using qelmar::sdk::ui::propertymanager::SliderProperties;
using qelmar::standin::testing::KernelTestControl;

TEST(LabelPropertyBinding, ShowsTheTextOnceAtIdleAfterManyChanges) {
    QWidget form;
    auto* label = new QLabel("0 x 0", &form);
    auto text = std::make_shared<Property<std::string>>("640 x 480");
    LabelPropertyBinding binding(label, text, BindingInterface::WidgetUpdate_OnIdle);
    EXPECT_EQ(label->text(), "640 x 480");

    for (int width = 1; width <= 100; ++width)
        text->setValue(std::to_string(width) + " x 10");
    EXPECT_EQ(label->text(), "640 x 480");
    processIdle();
    EXPECT_EQ(label->text(), "100 x 10");
}

TEST(SliderIntPropertyBinding, FollowsRangeAndValueAndCommitsMoves) {
    KernelTestControl kernel;
    QWidget form;
    auto* slider = new QSlider(Qt::Horizontal, &form);
    auto quality = std::make_shared<LockCheckingProperty<long>>(50);
    auto range = std::make_shared<Property<SliderProperties<long>>>(SliderProperties<long>(1, 100, 1));
    SliderIntPropertyBinding binding(slider, quality, range);
    EXPECT_EQ(slider->maximum(), 100);
    EXPECT_EQ(slider->value(), 50);

    slider->setValue(75);
    EXPECT_EQ(quality->retrieveValue(), 75);
    EXPECT_TRUE(quality->storedUnderLock);

    // A narrower range clamps what the slider shows, not the property.
    range->setValue(SliderProperties<long>(1, 60, 5));
    EXPECT_EQ(slider->value(), 60);
    EXPECT_EQ(slider->singleStep(), 5);
    EXPECT_EQ(quality->retrieveValue(), 75);
    EXPECT_EQ(quality->stores, 1);
}

TEST(SpinBoxIntPropertyBinding, CommitsStepsRefusesOutOfRangeAndAppliesTheStepCalculator) {
    KernelTestControl kernel;
    QWidget form;
    auto* spinBox = new IntegralSpinBox(&form);
    spinBox->setRange(0, 20);
    auto precision = std::make_shared<Property<int>>(4, std::make_shared<BoundedValueValidator<int>>(0, 8));
    SpinBoxIntPropertyBinding binding(spinBox, precision, [](int value) { return value >= 6 ? 2 : 1; });
    EXPECT_EQ(spinBox->value(), 4);

    spinBox->stepUp();
    EXPECT_EQ(precision->retrieveValue(), 5);
    precision->setValue(7);
    EXPECT_EQ(spinBox->singleStep(), 2);

    spinBox->setValue(12);
    EXPECT_EQ(precision->retrieveValue(), 7);
    EXPECT_EQ(spinBox->value(), 7);
    ASSERT_EQ(kernel.messagesOfType(0).size(), 1u);
    EXPECT_EQ(kernel.messagesOfType(0).front().text,
              "The value must be greater than or equal to 0 and less than or equal to 8.");
}

TEST(DialogWidgets, EnterCommitsTheFieldWithoutPressingTheDefaultButton) {
    QDialog dialog;
    auto* field = new EnterKeySwallowingLineEdit(&dialog);
    auto* spinBox = new IntegralSpinBox(&dialog);
    auto* plain = new QLineEdit(&dialog);
    auto* ok = new QPushButton("OK", &dialog);
    ok->setDefault(true);
    QSignalSpy okClicks(ok, &QPushButton::clicked);
    QSignalSpy finished(field, &QLineEdit::editingFinished);
    dialog.show();

    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(spinBox, Qt::Key_Enter);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(okClicks.count(), 0);
    // The plain line edit shows what the two widgets guard against.
    QTest::keyClick(plain, Qt::Key_Return);
    EXPECT_EQ(okClicks.count(), 1);
}

TEST(DialogWidgets, IntegralSpinBoxIgnoresTheWheelWithoutFocus) {
    QWidget form;
    auto* spinBox = new IntegralSpinBox(&form);
    spinBox->setRange(0, 10);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(spinBox, &wheel);
    EXPECT_EQ(spinBox->value(), 0);
    EXPECT_FALSE(wheel.isAccepted());
}

TEST(DialogWidgets, CommandLinkButtonTextsFollowTheButtonFont) {
    CorrectFontCommandLinkButton button("Replace data", "Drops the data loaded so far.");
    QFont large = button.font();
    large.setPointSizeF(20);
    button.setFont(large);
    EXPECT_EQ(button.titleFont().pointSizeF(), 20);
    EXPECT_TRUE(button.titleFont().bold());
    EXPECT_EQ(button.descriptionFont().pointSizeF(), 20);

    CorrectFontCommandLinkButton small("Replace data", "Drops the data loaded so far.");
    EXPECT_GT(button.sizeHint().height(), small.sizeHint().height());
    EXPECT_GT(button.heightForWidth(150), button.heightForWidth(600)) << "texts wrap in narrow buttons";

    QWidget window;
    auto* column = new QVBoxLayout(&window);
    for (const char* title : {"Replace data in active frame and reset style", "Append data to active frame"})
        column->addWidget(new CorrectFontCommandLinkButton(title, QString(), &window));
    window.adjustSize();
    EXPECT_LE(window.minimumSizeHint().height(), window.sizeHint().height())
        << "a window of wrapped titles may shrink to its natural size";
}

TEST(StringMassager, RewritesTheUsualWaysOfWritingANumber) {
    Property<double> speed(12.5);
    const std::pair<const char*, const char*> cases[] = {
        {" 3.5 ", "3.5"}, {"2,25", "2.25"},       {"+4", "4"},        {"\u22121.5", "-1.5"}, {"", "12.5"},
        {"   ", "12.5"},  {"1,000.5", "1,000.5"}, {"1,2,3", "1,2,3"},
    };
    for (const auto& [typed, expected] : cases)
        EXPECT_EQ(StringMassager::prepareText(speed, QString::fromUtf8(typed)), QString::fromUtf8(expected))
            << typed;
}

TEST(OnIdleAfterPropertyChangeActionPerformer, RunsOnceAfterChangesWhileEnabled) {
    Property<int> value(0);
    int runs = 0;
    OnIdleAfterPropertyChangeActionPerformer performer(value, [&runs] { ++runs; });

    value.setValue(1);
    value.setValue(2);
    EXPECT_EQ(runs, 0);
    processIdle();
    EXPECT_EQ(runs, 1);

    {
        const OnIdleAfterPropertyChangeActionPerformer::ScopedDisable ownChange(performer);
        value.setValue(3);
    }
    EXPECT_TRUE(performer.isEnabled());
    processIdle();
    EXPECT_EQ(runs, 1);

    performer.enable(false);
    value.setValue(4);
    performer.enable(true);
    value.setValue(5);
    processIdle();
    EXPECT_EQ(runs, 2);
}

TEST(WidgetUpdateDeferrerOnBusy, SuspendsPaintingUntilIdleAndKeepsTheOwnersChoice) {
    QWidget form;
    auto* widget = new QWidget(&form);
    auto* frozen = new QWidget(&form);
    frozen->setUpdatesEnabled(false);
    WidgetUpdateDeferrerOnBusy deferrer(*widget);
    WidgetUpdateDeferrerOnBusy frozenDeferrer(*frozen);

    deferrer.busy();
    deferrer.busy();
    frozenDeferrer.busy();
    EXPECT_FALSE(widget->updatesEnabled());
    EXPECT_TRUE(deferrer.isDeferring());
    processIdle();
    EXPECT_TRUE(widget->updatesEnabled());
    EXPECT_FALSE(frozen->updatesEnabled());

    {
        WidgetUpdateDeferrerOnBusy shortLived(*widget);
        shortLived.busy();
    }
    EXPECT_TRUE(widget->updatesEnabled()) << "a deferrer gone before idle gives the updates back";
}

TEST(QTextFieldObservable, ReportsUserEditsAndFinishingToEachListener) {
    struct Recorder : QTextFieldObservable::Listener {
        void editingFinished(QTextFieldObservable&) override { ++finished; }
        void textEdited(const QString& text, QTextFieldObservable&) override { edits << text; }
        int finished = 0;
        QStringList edits;
    };
    QWidget form;
    auto* field = new QLineEdit(&form);
    QTextFieldObservable observable(*field);
    Recorder first;
    Recorder second;
    boost::signals2::scoped_connection firstConnection(observable.addListener(first));
    boost::signals2::scoped_connection secondConnection(observable.addListener(second));

    field->setText("set by the program");
    QTest::keyClicks(field, "ab");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(first.edits, QStringList({"set by the programa", "set by the programab"}));
    EXPECT_EQ(first.finished, 1);

    secondConnection.disconnect();
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(first.finished, 2);
    EXPECT_EQ(second.finished, 1);
    delete field;
    EXPECT_EQ(observable.lineEdit(), nullptr);
}
