#pragma once

#include "bindings/StringConverter.h"
#include "bindings/UIPropertyBindingAbstract.h"
#include "host/AppLock.h"
#include "host/QTextFieldObservable.h"
#include "host/StringMassager.h"
#include "propertyframework/NumberText.h"

#include <QDoubleValidator>
#include <QIntValidator>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>

#include <memory>
#include <string>
#include <type_traits>

namespace qelmar::sdk::ui::dialogs::propertybindings {

// Base of the bindings that take a value from a line edit (a text field, the editor of an
// editable combo box). The value is committed when editing finishes, never per keystroke.
template <typename T> class LineEditPropertyBindingAbstract : public UIPropertyBindingAbstract<T> {
public:
    using typename UIPropertyBindingAbstract<T>::WidgetUpdateMode;

    // Gives a line edit the validator that fits T. A validator the dialog installed itself is
    // kept; one that a binding installed earlier (recognised by its object name) is replaced.
    class ValidationInstaller {
    public:
        static constexpr const char* m_installedValidatorMarker = "QelmarBindingInstalledValidator";

        static void install(QLineEdit& lineEdit) {
            const QValidator* current = lineEdit.validator();
            if (current && current->objectName() != QLatin1String(m_installedValidatorMarker))
                return;
            QValidator* fresh = createValidator(lineEdit);
            if (fresh)
                fresh->setObjectName(QLatin1String(m_installedValidatorMarker));
            lineEdit.setValidator(fresh);
            delete current;
        }

    private:
        // The conversion reads numbers the C way, so the validators must not accept a
        // locale's digit grouping or decimal comma that it would misread.
        static QValidator* createValidator(QLineEdit& lineEdit) {
            if constexpr (std::is_same_v<T, std::string>) {
                return nullptr;
            } else if constexpr (std::is_floating_point_v<T>) {
                auto* validator = new DecimalCommaValidator(&lineEdit);
                validator->setLocale(cLocale());
                return validator;
            } else {
                auto* validator = new QIntValidator(&lineEdit);
                validator->setLocale(cLocale());
                return validator;
            }
        }

        // Lets a decimal comma through while typing ("2,5"): the commit rewrites it to a point
        // before converting. A comma next to a point is still a refused group separator.
        class DecimalCommaValidator : public QDoubleValidator {
        public:
            using QDoubleValidator::QDoubleValidator;
            State validate(QString& input, int& position) const override {
                QString asPoint = input;
                if (asPoint.count(QLatin1Char(',')) == 1 && !asPoint.contains(QLatin1Char('.')))
                    asPoint.replace(QLatin1Char(','), QLatin1Char('.'));
                return QDoubleValidator::validate(asPoint, position);
            }
        };

        static QLocale cLocale() {
            QLocale locale = QLocale::c();
            locale.setNumberOptions(QLocale::RejectGroupSeparator);
            return locale;
        }
    };

    ~LineEditPropertyBindingAbstract() override { this->core().disconnectAll(); }

    // Commits the line edit's text. False when nothing was taken: the text was refused (the
    // field then shows the property's value again and keeps the focus) or not convertible.
    // A text the binding showed itself is not an edit: committing it would store the value as
    // rounded for display.
    bool editingFinished() {
        QLineEdit* edit = m_lineEdit.data();
        if (!edit)
            return false;
        const AppLock lock(AppLock::NoImplicitMacroRecord);
        const QString typed = edit->text();
        QString text = typed;
        if constexpr (std::is_same_v<T, double>)
            text = StringMassager::prepareText(*this->property(), text);
        // Unchanged: the field may still show a value the kernel has since changed elsewhere.
        if (typed == m_shownText || text == m_shownText) {
            this->refreshWidget();
            return true;
        }
        if (!isAcceptable(*edit, text)) {
            this->core().restoreWidget(edit);
            return false;
        }
        T value{};
        try {
            intern::StringConverter(text.toStdString()).convert(value);
        } catch (const InvalidArgumentException&) {
            return false;
        }
        if (!this->core().commitUserEdit([this, &value] { this->property()->setValue(value); }, edit))
            return false;
        this->refreshWidget();
        return true;
    }

    QLineEdit* lineEdit() const { return m_lineEdit.data(); }

protected:
    LineEditPropertyBindingAbstract(QWidget* widget, QLineEdit* lineEdit, PropertyPtr<T> property,
                                    WidgetUpdateMode mode)
        : UIPropertyBindingAbstract<T>(widget, std::move(property), mode)
        , m_lineEdit(lineEdit) {}

    // Installs the validator and starts committing on editing-finished; a combo box that is
    // not editable has no line edit, and then there is nothing to do.
    void listenToLineEdit() {
        if (!m_lineEdit)
            return;
        ValidationInstaller::install(*m_lineEdit);
        m_observable = std::make_unique<QTextFieldObservable>(*m_lineEdit);
        this->core().addConnection(m_observable->addListener(m_listener));
    }

    // The text a value is shown as, the same under any locale the host set.
    static QString valueText(const T& value) {
        if constexpr (std::is_same_v<T, std::string>)
            return QString::fromStdString(value);
        else if constexpr (std::is_enum_v<T>)
            return QString::fromStdString(formatNumber(static_cast<long>(value)));
        else
            return QString::fromStdString(formatNumber(value));
    }

    // Writes a text into the line edit without reporting it as an edit.
    void showText(const QString& text) {
        if (!m_lineEdit)
            return;
        const auto blocker = this->core().blockOwnConnections();
        m_lineEdit->setText(text);
        rememberShownText();
    }

    // What the line edit shows now was put there by the binding, not typed.
    void rememberShownText() {
        if (m_lineEdit)
            m_shownText = m_lineEdit->text();
    }

private:
    struct EditingListener : QTextFieldObservable::Listener {
        explicit EditingListener(LineEditPropertyBindingAbstract& owner)
            : binding(owner) {}
        void editingFinished(QTextFieldObservable&) override { binding.editingFinished(); }
        LineEditPropertyBindingAbstract& binding;
    };

    static bool isAcceptable(const QLineEdit& edit, QString& text) {
        const QValidator* validator = edit.validator();
        if (!validator)
            return true;
        int position = 0;
        if (validator->validate(text, position) == QValidator::Acceptable)
            return true;
        validator->fixup(text);
        return validator->validate(text, position) == QValidator::Acceptable;
    }

    QPointer<QLineEdit> m_lineEdit;
    QString m_shownText;
    EditingListener m_listener{*this};
    std::unique_ptr<QTextFieldObservable> m_observable;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings
