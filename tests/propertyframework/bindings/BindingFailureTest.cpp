#include "BindingTestSupport.h"
#include "host/LabelPropertyBinding.h"
#include "kernel/testing/KernelTestControl.h"
#include "propertyframework/PropertyTypeAdapter.h"
#include "propertyframework/bindings/TextFieldPropertyBinding.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

#include <limits>

using namespace qelmar;
using namespace qelmar::sdk::ui::dialogs;
using namespace qelmar::sdk::ui::dialogs::propertybindings;
using namespace bindingtest;
using qelmar::standin::testing::KernelTestControl;

namespace {

// A text property whose reading fails while it is broken, like a kernel value that cannot be
// presented.
class BreakableText : public Property<std::string> {
public:
    using Property<std::string>::Property;
    bool broken = false;
    std::string retrieveValue() const override {
        if (broken)
            throw ExceptionBase("The value cannot be read.", true);
        return Property<std::string>::retrieveValue();
    }
    void announce() { emitValueChangedSignal("changed"); }
};

} // namespace

// A long field over a double property cannot present NaN: the adapter raises when the field is
// brought up to date at the next idle moment, where an exception would unwind through Qt's
// event loop. The user is told instead.
TEST(BindingRefresh, FailureToReadThePropertyAtIdleIsReportedNotThrown) {
    KernelTestControl kernel;
    QWidget form;
    auto* field = new QLineEdit(&form);
    auto source = std::make_shared<Property<double>>(2.0);
    auto asLong = std::make_shared<PropertyTypeAdapter<long, double>>(source);
    TextFieldPropertyBinding<long> binding(field, asLong, BindingInterface::WidgetUpdate_OnIdle);
    ASSERT_EQ(field->text(), "2");

    source->setValue(3.0);
    source->setValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_NO_THROW(processIdle());
    ASSERT_EQ(kernel.messagesOfType(0).size(), 1u);
    EXPECT_EQ(kernel.messagesOfType(0).front().text, "Invalid value.");
    EXPECT_EQ(field->text(), "2") << "the field keeps what it showed";

    source->setValue(4.0);
    processIdle();
    EXPECT_EQ(field->text(), "4");
}

// Refreshing at once runs inside the property's notification; the failure must not abort it
// for the property's other listeners either.
TEST(BindingRefresh, FailureToReadThePropertyAtOnceIsReportedWithItsOwnText) {
    KernelTestControl kernel;
    QWidget form;
    auto* label = new QLabel(&form);
    auto* field = new QLineEdit(&form);
    auto text = std::make_shared<BreakableText>("fine");
    LabelPropertyBinding labelBinding(label, text);
    TextFieldPropertyBinding<std::string> fieldBinding(field, text);
    ASSERT_EQ(label->text(), "fine");

    text->broken = true;
    EXPECT_NO_THROW(text->announce());
    ASSERT_EQ(kernel.messagesOfType(0).size(), 2u) << "each binding reports, neither stops the other";
    EXPECT_EQ(kernel.messagesOfType(0).front().text, "The value cannot be read.");
    EXPECT_EQ(label->text(), "fine");
    EXPECT_EQ(field->text(), "fine");
}
