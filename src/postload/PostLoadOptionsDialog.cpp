#include "postload/PostLoadOptionsDialog.h"

#include "util/ArrowCursorWhileAsking.h"

#include "bindings/ListViewPropertySynchronizer.h"
#include "bindings/TextFieldPropertyBinding.h"
#include "host/ButtonBinding.h"
#include "host/CheckButtonPropertyBinding.h"
#include "host/KernelMessages.h"
#include "host/KernelVarNames.h"
#include "host/LaunchHelpAction.h"
#include "host/ListViewPropertyBinding.h"
#include "host/QExtendedFileDialog.h"
#include "host/RelevanceApplier.h"
#include "host/SaveFileQtDialog.h"
#include "postload/CoveragePanel.h"
#include "postload/CoverageTableModel.h"
#include "postload/HtmlItemDelegate.h"
#include "postload/PostLoadOptionsPropertiesManager.h"
#include "postload/SuggestionsPanel.h"
#include "postload/VariableAliasesFileParser.h"

#include "ui_AliasFileOptions.h"
#include "ui_PostLoadOptions.h"

#include <QFileInfo>
#include <QListView>
#include <QPointer>
#include <QSplitter>

#include <exception>
#include <optional>
#include <vector>

namespace qelmar::dialogs::io {

using sdk::ui::LaunchHelpAction;
using sdk::ui::dialogs::BindingInterface;
using sdk::ui::dialogs::ButtonBinding;
using sdk::ui::dialogs::CheckButtonPropertyBinding;
using sdk::ui::dialogs::QExtendedFileDialog;
using sdk::ui::dialogs::RelevanceApplier;
using sdk::ui::dialogs::SaveFileQtDialog;
using sdk::ui::dialogs::propertybindings::ListViewPropertySynchronizer;
using sdk::ui::dialogs::propertybindings::TextFieldPropertyBinding;
using sdk::ui::postload::CoveragePanel;
using sdk::ui::postload::HtmlItemDelegate;
using sdk::ui::postload::SuggestionsPanel;
using sdk::ui::postload::VariableAliasesFileParser;
using sdk::ui::propertymanager::PostLoadOptionsPropertiesManager;
using sdk::ui::propertymanager::RelevancePtr;

namespace {

PostLoadOptionsDialog* dialogInstance = nullptr;
PostLoadOptionsDialog::Additions hostAdditions;
// Empty until the host names a file or the user chooses one; the window then reads this one.
std::optional<std::string> hostAliasesFilePath;

QString dialogText(const char* text) {
    return QCoreApplication::translate("PostLoadOptions", text);
}

const QString aliasesFilter = QStringLiteral("Variable aliases files (*.txt);;All files (*)");

constexpr int iconSide = 21;

// The coverage table reads the kernel's lists of a load, which are the kernel's only while the
// load runs: it names them when the load starts and forgets them when it ends.
class CoverageDuringLoad {
public:
    explicit CoverageDuringLoad(CoveragePanel* panel)
        : m_panel(panel) {
        if (!m_panel)
            return;
        m_panel->model().nameSourcesFromKernel();
        m_panel->model().refresh();
    }
    CoverageDuringLoad(const CoverageDuringLoad&) = delete;
    CoverageDuringLoad& operator=(const CoverageDuringLoad&) = delete;
    ~CoverageDuringLoad() {
        if (m_panel)
            m_panel->model().clear();
    }

private:
    QPointer<CoveragePanel> m_panel;
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
            // In the row of the empty space between the lists and the aliases file, above the
            // buttons; the lists and the panels share the height.
            form.gridLayout_3->addWidget(additionsArea, 3, 0, 1, 3);
            form.gridLayout_3->setRowStretch(2, 1);
            form.gridLayout_3->setRowStretch(3, 1);
            dialog.resize(dialog.size().expandedTo(QSize(960, 680)));
        }
        if (additionsArea)
            additionsArea->setVisible(anyPanel);
        applyCoveragePanel(additions.coveragePanel);
        applySuggestions(additions.suggestions);
        applyAliasesOptions(additions.aliasesForNewVariables, additions.saveAliases);
    }

    SuggestionsPanel* suggestionsPanel = nullptr;

    void applySuggestions(bool on) {
        if (on && !suggestionsPanel) {
            suggestionsPanel = new SuggestionsPanel(manager, additionsArea);
            additionsArea->addWidget(suggestionsPanel);
        }
        if (suggestionsPanel)
            suggestionsPanel->setVisible(on);
    }

    // Below the alias-file field, in the form's own grid, so that the plain form is unchanged.
    QWidget* aliasOptionsRow = nullptr;
    Ui_AliasFileOptions aliasOptions;

    void applyAliasesOptions(bool matchNewVariables, bool saveAliases) {
        QWidget* parent = form.apply_Button->parentWidget();
        if ((matchNewVariables || saveAliases) && !aliasOptionsRow) {
            aliasOptionsRow = new QWidget(parent);
            aliasOptions.setupUi(aliasOptionsRow);
            form.gridLayout_4->addWidget(aliasOptionsRow, 2, 1, 1, 2);
            bindings.push_back(std::make_unique<CheckButtonPropertyBinding>(
                aliasOptions.aliasNewVariables_CheckBox, manager.matchNewVariables()));
            bindButton(*aliasOptions.chooseAliases_Button, [this, parent] { chooseAliasesFile(*parent); });
            bindButton(*aliasOptions.saveAliases_Button, [this, parent] { saveAliasesFile(*parent); });
        }
        // Hidden, the option must not go on acting.
        if (!matchNewVariables)
            manager.matchNewVariables()->setValue(false);
        if (!aliasOptionsRow)
            return;
        aliasOptionsRow->setVisible(matchNewVariables || saveAliases);
        aliasOptions.aliasNewVariables_CheckBox->setVisible(matchNewVariables);
        aliasOptions.chooseAliases_Button->setVisible(saveAliases);
        aliasOptions.saveAliases_Button->setVisible(saveAliases);
    }

    void useAliasesFile(const std::string& path) {
        manager.filePath()->setValue(path);
        hostAliasesFilePath = path;
        appliedAliasesFilePath = path;
    }

    // What the field last took from the host: a path the host names again changes nothing, and
    // the kernel is asked for its default only when the host asks for it anew.
    std::optional<std::string> appliedAliasesFilePath;

    void followHostsAliasesFile() {
        if (!hostAliasesFilePath || hostAliasesFilePath == appliedAliasesFilePath)
            return;
        manager.filePath()->setValue(hostAliasesFilePath->empty()
                                         ? VariableAliasesFileParser::locateVariableAliasesFilePath()
                                         : *hostAliasesFilePath);
        appliedAliasesFilePath = hostAliasesFilePath;
    }

    void chooseAliasesFile(QWidget& parent) {
        const QString current = QString::fromStdString(manager.filePath()->retrieveValue());
        QExtendedFileDialog files(&parent, dialogText("Choose Aliases File"),
                                  QFileInfo(current).absolutePath(), aliasesFilter);
        files.setFileMode(QFileDialog::ExistingFile);
        files.setAcceptMode(QFileDialog::AcceptOpen);
        if (QFileInfo(current).isFile())
            files.selectFile(current);
        if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty())
            return;
        useAliasesFile(files.selectedFiles().constFirst().toStdString());
    }

    // The saved file becomes the one Apply reads: it now holds this load's combinations.
    void saveAliasesFile(QWidget& parent) {
        const std::string current = manager.filePath()->retrieveValue();
        SaveFileQtDialog files(&parent, dialogText("Save as Aliases File"), current,
                               QFileInfo(QString::fromStdString(current)).fileName().toStdString(),
                               std::vector<std::string>{"Variable aliases files (*.txt)", "All files (*)"}, 0,
                               QStringLiteral("variable_aliases_save.html"));
        if (!files.launch())
            return;
        const std::string path = files.selectedFilename();
        if (manager.saveAliasesFile(path))
            useAliasesFile(path);
    }

    // The panels are Qt children of the window, but they read the manager: they go before it.
    CoveragePanel* coveragePanel = nullptr;
    ~Impl() {
        delete suggestionsPanel;
        delete coveragePanel;
    }

    void applyCoveragePanel(bool on) {
        if (on && !coveragePanel) {
            coveragePanel = new CoveragePanel(manager, additionsArea);
            additionsArea->insertWidget(0, coveragePanel);
        }
        if (coveragePanel)
            coveragePanel->setVisible(on);
    }

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

void PostLoadOptionsDialog::setAliasesFilePath(const std::string& path) {
    hostAliasesFilePath = path;
}

std::string PostLoadOptionsDialog::aliasesFilePath() {
    return hostAliasesFilePath.value_or(std::string());
}

PostLoadOptionsDialog* PostLoadOptionsDialog::getInstance(QWidget& parent) {
    if (!dialogInstance)
        dialogInstance = new PostLoadOptionsDialog(parent);
    return dialogInstance;
}

StringList_s* PostLoadOptionsDialog::static_matchVariablesCallback(StringList_s* existing,
                                                                   StringList_s* const* incoming,
                                                                   long incomingCount, void* clientData) {
    const ArrowCursorWhileAsking arrowCursor;
    // The kernel cannot take an exception; a failure here cancels the load, which changes nothing.
    try {
        PostLoadOptionsDialog* dialog = getInstance(*static_cast<QWidget*>(clientData));
        PostLoadOptionsPropertiesManager& manager = dialog->m_impl->manager;
        dialog->m_impl->followHostsAliasesFile();
        if (!manager.initializeManager(existing, incoming, incomingCount))
            return nullptr;
        const CoverageDuringLoad coverage(dialog->m_impl->coveragePanel);
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
