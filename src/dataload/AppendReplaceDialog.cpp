#include "dataload/AppendReplaceDialog.h"

#include "dataload/AppendReplacePropertiesManager.h"
#include "host/ButtonBinding.h"
#include "host/LaunchHelpAction.h"
#include "host/RelevanceApplier.h"

#include "ui_AppendReplaceDialog.h"

#include <QCoreApplication>

#include <vector>

namespace qelmar::dialogs::io {

using dataload::DataLoadOption;
using sdk::ui::LaunchHelpAction;
using sdk::ui::dialogs::BindingInterface;
using sdk::ui::dialogs::ButtonBinding;
using sdk::ui::dialogs::RelevanceApplier;
using sdk::ui::propertymanager::AppendReplacePropertiesManager;
using sdk::ui::propertymanager::RelevancePtr;

namespace {

QString trDialog(const char* text) {
    return QCoreApplication::translate("AppendReplaceDialog", text);
}

} // namespace

struct AppendReplaceDialog::Impl {
    explicit Impl(LoaderType type)
        : manager(type == StyleRetainingLoader) {}

    // Declared in order of dependence, so that the appliers go first and the manager last.
    AppendReplacePropertiesManager manager;
    std::vector<std::unique_ptr<BindingInterface>> bindings;
    std::vector<std::unique_ptr<RelevanceApplier>> appliers;

    void bindControls(AppendReplaceDialog& dialog, Ui_AppendReplaceDialog& form) {
        bindOption(dialog, *form.replaceButton, dataload::ReplaceAndResetStyle);
        bindOption(dialog, *form.replacePreserveStyleButton, dataload::ReplaceAndRetainStyle);
        bindOption(dialog, *form.replaceInAllFramesButton, dataload::ReplaceInAllSharedFrames);
        bindOption(dialog, *form.appendButton, dataload::Append);
    }

    void bindOption(AppendReplaceDialog& dialog, QAbstractButton& button, DataLoadOption option) {
        bindings.push_back(
            std::make_unique<ButtonBinding>(button, [&dialog, option] { dialog.acceptOption(option); }));
    }

    void showWhileRelevant(RelevancePtr relevance, QWidget* widget) {
        appliers.push_back(std::make_unique<RelevanceApplier>(std::move(relevance), widget,
                                                              RelevanceApplier::Manifestation_Show,
                                                              BindingInterface::WidgetUpdate_OnIdle));
    }
};

AppendReplaceDialog* AppendReplaceDialog::getInstance(LoaderType type, QWidget& parent) {
    return new AppendReplaceDialog(type, parent);
}

AppendReplaceDialog::AppendReplaceDialog(LoaderType type, QWidget& parent)
    : QtDialogAbstract(&parent, nullptr)
    , m_impl(std::make_unique<Impl>(type)) {
    // A question asked in the middle of a load appears over its parent, not where the last one was.
    setPersistSizeAndPosition(QString());
    setHelpAction(new LaunchHelpAction(QStringLiteral("appendreplace.html"), this));

    Ui_AppendReplaceDialog form;
    form.setupUi(this);
    if (type == LayoutLoader) {
        setWindowTitle(trDialog("Open Layout"));
        form.replaceButton->setText(trDialog("Replace"));
        form.appendButton->setText(trDialog("Append"));
    } else if (!m_impl->manager.currentDataSetIsShared()) {
        form.appendButton->setText(trDialog("Append data to active frame"));
    }

    m_impl->bindControls(*this, form);
    m_impl->showWhileRelevant(m_impl->manager.preserveStyleRelevance(), form.replacePreserveStyleButton);
    m_impl->showWhileRelevant(m_impl->manager.sharedDataRelevance(), form.replaceInAllFramesButton);
    // The hidden choices would otherwise leave gaps.
    adjustSize();
}

AppendReplaceDialog::~AppendReplaceDialog() = default;

void AppendReplaceDialog::acceptOption(DataLoadOption option) {
    m_impl->manager.option()->setValue(option);
    accept();
}

DataLoadOption AppendReplaceDialog::loadOption() const {
    return m_impl->manager.option()->retrieveValue();
}

} // namespace qelmar::dialogs::io
