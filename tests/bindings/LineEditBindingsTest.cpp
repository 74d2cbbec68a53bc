#include "BindingTestSupport.h"
#include "bindings/RadioButtonPropertyBinding.h"
#include "bindings/TextFieldPropertyBinding.h"
#include "host/LabelPropertyBinding.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"
#include "propertyframework/BoundedValueValidator.h"
#include "propertyframework/PropertyTypeAdapter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalSpy>
#include <QTest>

#include <limits>

using namespace qelmar;
using namespace qelmar::sdk::ui::dialogs;
using namespace qelmar::sdk::ui::dialogs::propertybindings;
using namespace bindingtest;
using qelmar::standin::testing::KernelTestControl;

namespace {

constexpr const char* marker =
    LineEditPropertyBindingAbstract<int>::ValidationInstaller::m_installedValidatorMarker;

// A shown, active form with the field under test and a second field to move the focus to.
struct TextForm {
    TextForm() {
        form.show();
        QApplication::setActiveWindow(&form);
        field->setFocus();
    }
    void type(const QString& text) {
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    void leaveField() { other->setFocus(); }

    QWidget form;
    QLineEdit* field = new QLineEdit(&form);
    QLineEdit* other = new QLineEdit(&form);
};

} // namespace

TEST(TextFieldPropertyBinding, TypedTextReachesThePropertyWhenEditingFinishes) {
    KernelTestControl kernel;
    TextForm ui;
    auto property = std::make_shared<LockCheckingProperty<int>>(5);
    TextFieldPropertyBinding<int> binding(ui.field, property);
    EXPECT_EQ(ui.field->text(), "5");

    ui.type("42");
    EXPECT_EQ(property->retrieveValue(), 5) << "no commit per keystroke";
    QTest::keyClick(ui.field, Qt::Key_Return);
    EXPECT_EQ(property->retrieveValue(), 42);
    EXPECT_TRUE(property->storedUnderLock);

    property->setValue(7);
    EXPECT_EQ(ui.field->text(), "7");
}

TEST(TextFieldPropertyBinding, OutOfRangeEntryShowsTheMessageRestoresTheTextAndKeepsFocus) {
    KernelTestControl kernel;
    qelmar::standin::testing::CallRecording recording;
    TextForm ui;
    auto property = std::make_shared<Property<int>>(10, std::make_shared<BoundedValueValidator<int>>(1, 100));
    TextFieldPropertyBinding<int> binding(ui.field, property, BindingInterface::WidgetUpdate_OnIdle);

    ui.type("150");
    ui.leaveField();

    EXPECT_EQ(property->retrieveValue(), 10);
    EXPECT_EQ(ui.field->text(), "10");
    EXPECT_EQ(ui.form.focusWidget(), ui.field);
    const auto errors = kernel.messagesOfType(0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors.front().text,
              "The value must be greater than or equal to 1 and less than or equal to 100.");
    const auto boxes = kernel.callsNamed("QelUtilDialogMessageBox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes.front().insideLock);
}

TEST(TextFieldPropertyBinding, TextRefusedByTheValidatorIsDroppedSilently) {
    KernelTestControl kernel;
    TextForm ui;
    // A dialog's own validator that lets letters through: the conversion then fails.
    ui.field->setValidator(new QRegularExpressionValidator(QRegularExpression("[a-z0-9]*"), ui.field));
    auto property = std::make_shared<Property<int>>(3);
    TextFieldPropertyBinding<int> binding(ui.field, property);

    ui.type("abc");
    QTest::keyClick(ui.field, Qt::Key_Return);
    EXPECT_EQ(property->retrieveValue(), 3);
    EXPECT_EQ(ui.field->text(), "abc");
    EXPECT_TRUE(kernel.messages().empty());
    EXPECT_FALSE(binding.editingFinished());
}

TEST(TextFieldPropertyBinding, InstallsReplacesOrKeepsValidatorsByTheirMarker) {
    QWidget form;
    auto* plain = new QLineEdit(&form);
    auto* own = new QLineEdit(&form);
    auto* text = new QLineEdit(&form);
    auto* dialogValidator = new QIntValidator(0, 9, own);
    own->setValidator(dialogValidator);

    auto number = std::make_shared<Property<int>>(1);
    TextFieldPropertyBinding<int> first(plain, number);
    TextFieldPropertyBinding<int> kept(own, number);
    ASSERT_NE(plain->validator(), nullptr);
    EXPECT_EQ(plain->validator()->objectName(), marker);
    EXPECT_EQ(own->validator(), dialogValidator);

    // A second binding on the same field replaces the validator the first one installed.
    QPointer<const QValidator> installed = plain->validator();
    auto real = std::make_shared<Property<double>>(0.5);
    TextFieldPropertyBinding<double> second(plain, real);
    EXPECT_TRUE(installed.isNull());
    EXPECT_NE(qobject_cast<const QDoubleValidator*>(plain->validator()), nullptr);

    // Text needs no validator; a marked one left by an earlier binding goes away.
    TextFieldPropertyBinding<int> numberFirst(text, number);
    auto words = std::make_shared<Property<std::string>>("x");
    TextFieldPropertyBinding<std::string> wordsBinding(text, words);
    EXPECT_EQ(text->validator(), nullptr);
}

TEST(TextFieldPropertyBinding, DoubleTextsAreMassagedBeforeConversion) {
    KernelTestControl kernel;
    TextForm ui;
    auto property = std::make_shared<Property<double>>(1.0);
    TextFieldPropertyBinding<double> binding(ui.field, property);

    struct Case {
        QString typed;
        double stored;
        const char* shown;
    };
    for (const Case& c :
         {Case{"2,5", 2.5, "2.5"}, Case{"  0.25 ", 0.25, "0.25"}, Case{"+1e3", 1000.0, "1000"},
          Case{"", 1000.0, "1000"}, Case{"1234567", 1234567.0, "1.23457e+06"}}) {
        ui.field->setText(c.typed);
        EXPECT_TRUE(binding.editingFinished()) << c.typed.toStdString();
        EXPECT_DOUBLE_EQ(property->retrieveValue(), c.stored) << c.typed.toStdString();
        EXPECT_EQ(ui.field->text(), c.shown) << c.typed.toStdString();
    }
    EXPECT_TRUE(kernel.messages().empty());

    // A decimal comma must get past the field's validator while typing, too.
    ui.type("3,75");
    EXPECT_EQ(ui.field->text(), "3,75");
    QTest::keyClick(ui.field, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(property->retrieveValue(), 3.75);
}

TEST(TextFieldPropertyBinding, CursorAtStartShowsTheBeginningOfLongValues) {
    QWidget form;
    auto* atStart = new QLineEdit(&form);
    auto* atEnd = new QLineEdit(&form);
    auto path = std::make_shared<Property<std::string>>("/a/long/path/to/a/file/somewhere/deep.txt");
    using Binding = TextFieldPropertyBinding<std::string>;
    Binding start(atStart, path, BindingInterface::WidgetUpdate_Immediate, Binding::CursorPosition_Start);
    Binding end(atEnd, path, BindingInterface::WidgetUpdate_Immediate, Binding::CursorPosition_End);
    EXPECT_EQ(atStart->cursorPosition(), 0);

    path->setValue("/another/long/path/to/a/file.txt");
    EXPECT_EQ(atStart->cursorPosition(), 0);
    EXPECT_EQ(atEnd->cursorPosition(), atEnd->text().size());
}

TEST(TextFieldPropertyBinding, DeferredUpdatesCoalesceAndDoNotComeBackAsEdits) {
    KernelTestControl kernel;
    QWidget form;
    auto* field = new QLineEdit(&form);
    auto property = std::make_shared<LockCheckingProperty<int>>(0);
    TextFieldPropertyBinding<int> binding(field, property, BindingInterface::WidgetUpdate_OnIdle);
    QSignalSpy textChanges(field, &QLineEdit::textChanged);

    for (int value = 1; value <= 50; ++value)
        property->setValue(value);
    EXPECT_EQ(textChanges.count(), 0);
    processIdle();
    EXPECT_EQ(textChanges.count(), 1);
    EXPECT_EQ(field->text(), "50");
    EXPECT_EQ(property->stores, 50);
}

TEST(TextFieldPropertyBinding, SurvivesItsLineEditAndFollowsTheSensitivityState) {
    QWidget form;
    auto property = std::make_shared<Property<int>>(0);
    auto* field = new QLineEdit(&form);
    auto binding = std::make_unique<TextFieldPropertyBinding<int>>(field, property);
    auto relevance = std::make_shared<SwitchRelevance>(false);
    binding->setSensitivityRelevance(relevance);
    EXPECT_FALSE(field->isEnabled());
    relevance->set(true);
    EXPECT_TRUE(field->isEnabled());

    delete field;
    property->setValue(4);
    relevance->set(false);
    EXPECT_FALSE(binding->editingFinished());
    binding.reset();
    property->setValue(5);
}

TEST(StringConverter, ReadsNumbersFromTheStartWithoutSkippingBlanks) {
    using intern::StringConverter;
    int number = 0;
    StringConverter("12abc").convert(number);
    EXPECT_EQ(number, 12);
    EXPECT_THROW(StringConverter(" 12").convert(number), InvalidArgumentException);
    EXPECT_THROW(StringConverter("").convert(number), InvalidArgumentException);
    EXPECT_THROW(StringConverter("99999999999").convert(number), InvalidArgumentException);

    double real = 0;
    StringConverter("1e3x").convert(real);
    EXPECT_EQ(real, 1000.0);
    long big = 0;
    StringConverter("-7").convert(big);
    EXPECT_EQ(big, -7);
    std::string text;
    StringConverter(" kept as typed ").convert(text);
    EXPECT_EQ(text, " kept as typed ");

    try {
        StringConverter("abc").convert(number);
        FAIL() << "converted abc";
    } catch (const InvalidArgumentException& failure) {
        EXPECT_EQ(failure.message(), std::string("Cannot convert \"abc\" to ") + typeid(int).name());
    }
    enum Colour_e { Red, Green };
    Colour_e colour = Red;
    try {
        StringConverter("1").convert(colour);
        FAIL() << "converted an enumeration";
    } catch (const InvalidArgumentException& failure) {
        EXPECT_EQ(failure.message(),
                  std::string("Unsupported type for conversion: ") + typeid(Colour_e).name());
    }
}

namespace {
enum RenderType_e { Render_Vector = 0, Render_Image = 1, Render_Hybrid = 2 };
}

TEST(RadioButtonPropertyBinding, ButtonsOfAGroupFollowAndSetTheProperty) {
    KernelTestControl kernel;
    QWidget form;
    auto* vector = new QRadioButton("Vector", &form);
    auto* image = new QRadioButton("Image", &form);
    auto* hybrid = new QRadioButton("Hybrid", &form);
    auto property = std::make_shared<LockCheckingProperty<RenderType_e>>(Render_Image);
    RadioButtonPropertyBinding<RenderType_e> vectorBinding(vector, property, Render_Vector);
    RadioButtonPropertyBinding<RenderType_e> imageBinding(image, property, Render_Image);
    RadioButtonPropertyBinding<RenderType_e> hybridBinding(hybrid, property, Render_Hybrid);
    EXPECT_TRUE(image->isChecked());

    QTest::mouseClick(vector, Qt::LeftButton);
    EXPECT_EQ(property->retrieveValue(), Render_Vector);
    EXPECT_TRUE(property->storedUnderLock);
    EXPECT_EQ(property->stores, 1) << "the unchecked sibling must not store anything";

    property->setValue(Render_Hybrid);
    EXPECT_TRUE(hybrid->isChecked());
    EXPECT_FALSE(vector->isChecked());
    EXPECT_FALSE(image->isChecked());
}

TEST(RadioButtonPropertyBinding, RefusedChoiceGivesTheCheckBackToThePropertysButton) {
    KernelTestControl kernel;
    QWidget form;
    auto* yes = new QRadioButton("Yes", &form);
    auto* no = new QRadioButton("No", &form);
    auto property = std::make_shared<Property<bool>>(
        false, std::make_shared<RefusingValidator<bool>>(true, "Not available for this format."));
    RadioButtonPropertyBinding<bool> yesBinding(yes, property, true);
    RadioButtonPropertyBinding<bool> noBinding(no, property, false);

    yes->click();
    processIdle();
    EXPECT_FALSE(property->retrieveValue());
    EXPECT_TRUE(no->isChecked());
    EXPECT_FALSE(yes->isChecked());
    ASSERT_EQ(kernel.messagesOfType(0).size(), 1u);
    EXPECT_EQ(kernel.messagesOfType(0).front().text, "Not available for this format.");
}

// Fields show numbers rounded to six significant digits. Confirming or clearing a field
// without typing anything must leave the exact value alone.
TEST(TextFieldPropertyBinding, UnchangedOrClearedTextNeverChangesTheProperty) {
    KernelTestControl kernel;
    TextForm ui;
    auto property = std::make_shared<LockCheckingProperty<double>>(1234567.0);
    TextFieldPropertyBinding<double> binding(ui.field, property);
    ASSERT_EQ(ui.field->text(), "1.23457e+06");

    QTest::keyClick(ui.field, Qt::Key_Return);
    EXPECT_EQ(property->retrieveValue(), 1234567.0);

    ui.field->clear();
    EXPECT_TRUE(binding.editingFinished());
    EXPECT_EQ(property->retrieveValue(), 1234567.0);
    EXPECT_EQ(ui.field->text(), "1.23457e+06");
    EXPECT_EQ(property->stores, 0);

    // Typing a value back that merely looks the same as the shown one is an edit.
    ui.type("1.23457e+06");
    EXPECT_TRUE(binding.editingFinished());
    EXPECT_EQ(ui.field->text(), "1.23457e+06");
    EXPECT_EQ(property->stores, 0) << "the text the binding showed is not an edit";
    ui.type("1234568");
    QTest::keyClick(ui.field, Qt::Key_Return);
    EXPECT_EQ(property->retrieveValue(), 1234568.0);
}

// A host may set a global C++ locale with decimal comma and digit grouping. Fields must still
// show texts that they accept back, the same as under the "C" locale.
TEST(TextFieldPropertyBinding, ShowsAndReadsNumbersTheSameUnderAnyGlobalLocale) {
    KernelTestControl kernel;
    const ScopedCommaDecimalLocale commaLocale;
    TextForm ui;
    auto real = std::make_shared<Property<double>>(2.5);
    auto whole = std::make_shared<Property<int>>(1234567);
    TextFieldPropertyBinding<double> realBinding(ui.field, real);
    TextFieldPropertyBinding<int> wholeBinding(ui.other, whole);
    EXPECT_EQ(ui.field->text(), "2.5");
    EXPECT_EQ(ui.other->text(), "1234567");

    ui.field->setText("0.125");
    EXPECT_TRUE(realBinding.editingFinished());
    EXPECT_EQ(real->retrieveValue(), 0.125);
    EXPECT_EQ(ui.field->text(), "0.125");

    ui.other->setText("7654321");
    EXPECT_TRUE(wholeBinding.editingFinished());
    EXPECT_EQ(whole->retrieveValue(), 7654321);
    EXPECT_EQ(ui.other->text(), "7654321");
    EXPECT_TRUE(kernel.messages().empty());
}

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
