#include "postload/PostLoadOptionsDialog.h"

#include "bindings/ListViewPropertySynchronizer.h"
#include "bindings/TextFieldPropertyBinding.h"
#include "host/ButtonBinding.h"
#include "host/KernelMessages.h"
#include "host/KernelVarNames.h"
#include "host/LaunchHelpAction.h"
#include "host/ListViewPropertyBinding.h"
#include "host/RelevanceApplier.h"
#include "postload/HtmlItemDelegate.h"
#include "postload/PostLoadOptionsPropertiesManager.h"

#include "ui_PostLoadOptions.h"

#include <QGuiApplication>
#include <QListView>
#include <QSplitter>

#include <exception>
#include <vector>

namespace qelmar::dialogs::io {

using sdk::ui::LaunchHelpAction;
using sdk::ui::dialogs::BindingInterface;
using sdk::ui::dialogs::ButtonBinding;
using sdk::ui::dialogs::RelevanceApplier;
using sdk::ui::dialogs::propertybindings::ListViewPropertySynchronizer;
using sdk::ui::dialogs::propertybindings::TextFieldPropertyBinding;
using sdk::ui::postload::HtmlItemDelegate;
using sdk::ui::propertymanager::PostLoadOptionsPropertiesManager;
using sdk::ui::propertymanager::RelevancePtr;

namespace {

PostLoadOptionsDialog* dialogInstance = nullptr;
PostLoadOptionsDialog::Additions hostAdditions;

constexpr int iconSide = 21;

// The arrow pointer for as long as the kernel waits for the answer, whichever way it leaves.
class ArrowCursorDuringLoad {
public:
    ArrowCursorDuringLoad() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
    ArrowCursorDuringLoad(const ArrowCursorDuringLoad&) = delete;
    ArrowCursorDuringLoad& operator=(const ArrowCursorDuringLoad&) = delete;
    ~ArrowCursorDuringLoad() { QGuiApplication::restoreOverrideCursor(); }
};

// A read-only field that does not look like one invites typing; this one looks inactive.
void lookInactive(QLineEdit& edit) {
    QPalette palette = edit.palette();
    const QColor base = palette.color(QPalette::Disabled, QPalette::Base);
    const QColor text = palette.color(QPalette::Disabled, QPalette::Text);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setBrush(group, QPalette::Base, QBrush(base));
        palette.setBrush(group, QPalette::Text, QBrush(text));
    }
    edit.setPalette(palette);
}

// The combine icon is wider than the others; it keeps its proportions at their height.
QSize combineIconSize(const QIcon& icon) {
    const QSize actual = icon.actualSize(QSize(iconSide, iconSide), QIcon::Normal);
    if (actual.height() <= 0)
        return QSize(iconSide, iconSide);
    return QSize(static_cast<int>(iconSide * static_cast<double>(actual.width()) / actual.height()),
                 iconSide);
}

} // namespace

struct PostLoadOptionsDialog::Impl {
    // Declared so that the appliers go first, then the bindings, then what they are bound to.
    Ui_PostLoadOptions form;
    PostLoadOptionsPropertiesManager manager;
    std::vector<std::unique_ptr<BindingInterface>> bindings;
    std::vector<std::unique_ptr<RelevanceApplier>> appliers;

    void bindPropertiesToControls() {
        using Synchronizer = ListViewPropertySynchronizer<PostLoadOptionsPropertiesManager::Selection>;
        bindings.push_back(Synchronizer::bind(*form.varsToLoadList, manager.selectedVarsToLoad(),
                                              manager.varsToLoadModel(),
                                              BindingInterface::WidgetUpdate_Immediate));
        bindings.push_back(Synchronizer::bind(*form.incomingVarList, manager.selectedVarsAvailable(),
                                              manager.varsAvailableModel(),
                                              BindingInterface::WidgetUpdate_Immediate));
        bindings.push_back(std::make_unique<TextFieldPropertyBinding<std::string>>(
            form.aliasFile_LineEdit, manager.filePath(), BindingInterface::WidgetUpdate_OnIdle,
            TextFieldPropertyBinding<std::string>::CursorPosition_End));
        bindButton(*form.apply_Button, [this] { manager.applyVarAliases(); });
        bindButton(*form.addVariable_pushButton, [this] { manager.add(); });
        bindButton(*form.addVariable_pushButton_2, [this] { manager.addAll(); });
        bindButton(*form.remove_pushButton, [this] { manager.remove(); });
        bindButton(*form.combine_pushButton, [this] { manager.combine(); });
    }

    void bindRelevancesToControls() {
        enableWhileRelevant(manager.addRelevance(), form.addVariable_pushButton);
        enableWhileRelevant(manager.addAllRelevance(), form.addVariable_pushButton_2);
        enableWhileRelevant(manager.removeRelevance(), form.remove_pushButton);
    }

    void bindButton(QAbstractButton& button, std::function<void()> action) {
        bindings.push_back(std::make_unique<ButtonBinding>(button, std::move(action)));
    }

    // The additions sit below the form's lists, side by side, so that the form itself stays
    // exactly as it is without them.
    QSplitter* additionsArea = nullptr;

    void applyAdditions(PostLoadOptionsDialog& dialog, const Additions& additions) {
        const bool anyPanel = additions.coveragePanel || additions.suggestions;
        if (anyPanel && !additionsArea) {
            additionsArea = new QSplitter(Qt::Horizontal, &dialog);
            additionsArea->setObjectName(QStringLiteral("postLoadAdditions_Splitter"));
            form.verticalLayout->insertWidget(1, additionsArea, 1);
        }
        if (additionsArea)
            additionsArea->setVisible(anyPanel);
        applyCoveragePanel(additions.coveragePanel);
        applySuggestions(additions.suggestions);
        applyAliasesOptions(additions.aliasesForNewVariables, additions.saveAliases);
    }

    void applyCoveragePanel(bool /*on*/) {}
    void applySuggestions(bool /*on*/) {}
    void applyAliasesOptions(bool /*matchNewVariables*/, bool /*saveAliases*/) {}

    void enableWhileRelevant(RelevancePtr relevance, QWidget* widget) {
        appliers.push_back(std::make_unique<RelevanceApplier>(std::move(relevance), widget,
                                                              RelevanceApplier::Manifestation_Enable,
                                                              BindingInterface::WidgetUpdate_Immediate));
    }
};

void PostLoadOptionsDialog::registerCallback(QWidget& parent) {
    static bool callbacksRegistered = false;
    if (callbacksRegistered)
        return;
    QelEngMatchVariablesRegisterCallback(static_matchVariablesCallback, &parent);
    callbacksRegistered = true;
}

void PostLoadOptionsDialog::setAdditions(const Additions& additions) {
    hostAdditions = additions;
    if (dialogInstance)
        dialogInstance->m_impl->applyAdditions(*dialogInstance, additions);
}

PostLoadOptionsDialog::Additions PostLoadOptionsDialog::additions() {
    return hostAdditions;
}

PostLoadOptionsDialog* PostLoadOptionsDialog::getInstance(QWidget& parent) {
    if (!dialogInstance)
        dialogInstance = new PostLoadOptionsDialog(parent);
    return dialogInstance;
}

StringList_s* PostLoadOptionsDialog::static_matchVariablesCallback(StringList_s* existing,
                                                                   StringList_s* const* incoming,
                                                                   long incomingCount, void* clientData) {
    const ArrowCursorDuringLoad arrowCursor;
    // The kernel cannot take an exception; a failure here cancels the load, which changes nothing.
    try {
        PostLoadOptionsDialog* dialog = getInstance(*static_cast<QWidget*>(clientData));
        PostLoadOptionsPropertiesManager& manager = dialog->m_impl->manager;
        if (!manager.initializeManager(existing, incoming, incomingCount))
            return nullptr;
        if (manager.unmatchedVarNamesAvailable()) {
            dialog->launch();
            if (dialog->result() != QDialog::Accepted)
                return nullptr;
        }
        return manager.varNamesToLoad();
    } catch (const std::exception& error) {
        QelUtilDialogErrMsg(error.what());
        return nullptr;
    }
}

PostLoadOptionsDialog::PostLoadOptionsDialog(QWidget& parent)
    : QtDialogAbstract(&parent, nullptr)
    , m_impl(std::make_unique<Impl>()) {
    Ui_PostLoadOptions& form = m_impl->form;
    form.setupUi(this);
    lookInactive(*form.aliasFile_LineEdit);
    for (QListView* list : {form.varsToLoadList, form.incomingVarList}) {
        list->setItemDelegate(new HtmlItemDelegate(list));
        // Every row is one line in one font, so one row's size stands for all: otherwise the view
        // lays out every row's HTML to learn its size, on showing and after every command, which
        // at tens of thousands of names keeps the window from opening for seconds.
        list->setUniformItemSizes(true);
    }

    const QSize iconSize(iconSide, iconSide);
    form.addVariable_pushButton->setIconSize(iconSize);
    form.addVariable_pushButton_2->setIconSize(iconSize);
    form.remove_pushButton->setIconSize(iconSize);
    form.combine_pushButton->setIconSize(combineIconSize(form.combine_pushButton->icon()));
    // Nothing undoes a combination yet; the button keeps its place in the form for when it does.
    form.combine_pushButton_2->setVisible(false);

    m_impl->bindPropertiesToControls();
    m_impl->bindRelevancesToControls();
    setHelpAction(new LaunchHelpAction(QStringLiteral("load_data_file_specify_options.html"), this));
    m_impl->applyAdditions(*this, hostAdditions);
}

PostLoadOptionsDialog::~PostLoadOptionsDialog() {
    if (dialogInstance == this)
        dialogInstance = nullptr;
}

} // namespace qelmar::dialogs::io
