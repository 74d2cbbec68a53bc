#include "dataload/GenericFileLoaderQtDialog.h"

#include "bindings/ListViewPropertySynchronizer.h"
#include "dataload/GenericFileLoaderPropertiesManager.h"
#include "dataload/OnlyFilesSelectionRelevance.h"
#include "host/ButtonBinding.h"
#include "host/CheckButtonPropertyBinding.h"
#include "host/KernelMessages.h"
#include "host/LaunchHelpAction.h"
#include "host/ListViewPropertyBinding.h"
#include "host/RelevanceApplier.h"
#include "host/RelevanceExpression.h"
#include "util/DialogParts.h"
#include "util/FileDialogWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QToolButton>
#include <QTreeView>

#include <boost/signals2/connection.hpp>

#include <algorithm>
#include <functional>

namespace qelmar::dialogs::io {

using sdk::ui::DataLoaderInterface;
using sdk::ui::DataLoaderPtr;
using sdk::ui::LaunchHelpAction;
using sdk::ui::dialogs::BindingInterface;
using sdk::ui::dialogs::ButtonBinding;
using sdk::ui::dialogs::CheckButtonPropertyBinding;
using sdk::ui::dialogs::ListViewPropertyBinding;
using sdk::ui::dialogs::RelevanceApplier;
using sdk::ui::dialogs::propertybindings::ListViewPropertySynchronizer;
using sdk::ui::propertymanager::GenericFileLoaderPropertiesManager;
using sdk::ui::propertymanager::RelevanceExpression;
using sdk::ui::propertymanager::RelevancePtr;

namespace {

constexpr int checkedState = Qt::Checked;
constexpr int uncheckedState = Qt::Unchecked;

std::string toUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

std::string nativeUtf8(const QString& file) {
    return toUtf8(QDir::toNativeSeparators(file));
}

bool isExistingFile(const QString& file) {
    const QFileInfo info(file);
    return info.exists() && !info.isDir();
}

QStringList existingFiles(const QStringList& files) {
    QStringList existing;
    std::copy_if(files.begin(), files.end(), std::back_inserter(existing), isExistingFile);
    return existing;
}

// Qt's wildcard matching for a filter text, anchored at both ends.
bool filterBeginsWith(const QString& filter, const QString& loaderName) {
    const QRegularExpression pattern(
        QRegularExpression::wildcardToRegularExpression(loaderName + QLatin1Char('*')));
    return pattern.match(filter).hasMatch();
}

std::vector<QWidget*> existing(std::initializer_list<QWidget*> widgets) {
    std::vector<QWidget*> found;
    std::copy_if(widgets.begin(), widgets.end(), std::back_inserter(found),
                 [](QWidget* widget) { return widget; });
    return found;
}

// The button box repaints once after its buttons were swapped, not between removal and addition.
class SuspendedUpdates {
public:
    explicit SuspendedUpdates(QWidget& widget)
        : m_widget(widget)
        , m_wereEnabled(widget.updatesEnabled()) {
        m_widget.setUpdatesEnabled(false);
    }
    SuspendedUpdates(const SuspendedUpdates&) = delete;
    SuspendedUpdates& operator=(const SuspendedUpdates&) = delete;
    ~SuspendedUpdates() { m_widget.setUpdatesEnabled(m_wereEnabled); }

private:
    QWidget& m_widget;
    const bool m_wereEnabled;
};

// The file dialog disables its own Open button while nothing is selected there, but files
// collected in the additional list are enough to open.
class OpenWithListedFiles : public QObject {
public:
    OpenWithListedFiles(std::function<bool()> listHasFiles, QObject* parent)
        : QObject(parent)
        , m_listHasFiles(std::move(listHasFiles)) {}

    void watch(QPushButton* button) {
        m_button = button;
        m_watched = button;
        button->installEventFilter(this);
        update();
    }

    void update() const {
        if (m_button && !m_button->isEnabled() && m_listHasFiles())
            m_button->setEnabled(true);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Compared by identity only: while the button is destroyed it is no QPushButton any more.
        if (event->type() == QEvent::EnabledChange && watched == m_watched)
            update();
        return false;
    }

private:
    std::function<bool()> m_listHasFiles;
    QPointer<QPushButton> m_button;
    const QObject* m_watched = nullptr;
};

} // namespace

struct GenericFileLoaderQtDialog::Impl {
    GenericFileLoaderQtDialog& owner;
    DialogParts<NoPropertySet, GenericFileLoaderPropertiesManager> parts;
    const std::string& loaderName;
    // Set by a double click on a file: the file dialog's own acceptance follows it and must not
    // open a second time.
    bool swallowNextAccept = false;

    QPushButton* addToListButton = nullptr;
    QPushButton* removeAllButton = nullptr;
    QPushButton* removeSelectedButton = nullptr;
    QPushButton* openButton = nullptr;
    QDialogButtonBox* buttonBox = nullptr;
    QCheckBox* advancedOptionsCheckBox = nullptr;
    QListView* additionalFilesView = nullptr;
    QLabel* additionalFilesLabel = nullptr;
    OpenWithListedFiles* standardOpenEnabler = nullptr;
    boost::signals2::scoped_connection listFilled;

    QComboBox* lookInCombo = nullptr;
    QToolButton* backButton = nullptr;
    QToolButton* forwardButton = nullptr;
    QToolButton* toParentButton = nullptr;
    QToolButton* newFolderButton = nullptr;
    QToolButton* listModeButton = nullptr;
    QToolButton* detailModeButton = nullptr;
    QSplitter* splitter = nullptr;
    QLabel* lookInLabel = nullptr;
    QLabel* fileNameLabel = nullptr;
    QLineEdit* fileNameEdit = nullptr;
    QComboBox* fileTypeCombo = nullptr;
    QTreeView* treeView = nullptr;

    Impl(GenericFileLoaderQtDialog& dialog, const std::string& name)
        : owner(dialog)
        , loaderName(name) {}

    GenericFileLoaderPropertiesManager& manager() const { return parts.manager(); }

    DataLoaderInterface::Properties loaderProperties() const {
        const DataLoaderPtr loader = manager().currentSelectedLoader();
        return loader ? loader->properties() : DataLoaderInterface::Properties();
    }

    void findCommonControls() {
        lookInCombo = owner.lookInCombo();
        backButton = owner.backButton();
        forwardButton = owner.forwardButton();
        toParentButton = owner.toParentButton();
        newFolderButton = owner.newFolderButton();
        listModeButton = owner.listModeButton();
        detailModeButton = owner.detailModeButton();
        splitter = owner.splitter();
        lookInLabel = owner.lookInLabel();
        fileNameLabel = owner.fileNameLabel();
        fileNameEdit = owner.fileNameEdit();
        fileTypeCombo = owner.fileTypeCombo();
        buttonBox = owner.buttonBox();
        treeView = owner.treeView();
    }

    void setupFileDialog() {
        owner.setViewMode(QFileDialog::Detail);
        QStringList filters;
        for (const std::string& text : manager().loaderExtensions())
            filters.append(QString::fromStdString(text));
        owner.setNameFilters(filters);
        setDialogFileMode();
    }

    void setDialogFileMode() {
        owner.setFileMode(manager().multipleFiles()->retrieveValue() ? QFileDialog::ExistingFiles
                                                                     : QFileDialog::ExistingFile);
    }

    // Not through selectFile: the file dialog completes a typed name against the folder, and a
    // blank completes to the folder itself, which then stays selected as if the user had chosen it.
    // The selection goes first, since the file dialog writes selected names back into the field.
    void clearSelectedFiles() {
        if (QAbstractItemView* view = owner.listView(); view && view->selectionModel())
            view->selectionModel()->clearSelection();
        if (fileNameEdit)
            fileNameEdit->clear();
    }

    void addCustomControls() {
        createButtons();
        advancedOptionsCheckBox = new QCheckBox(tr("Ad&vanced options"), &owner);
        additionalFilesLabel = new QLabel(tr("A&dditional files"), &owner);
        additionalFilesView = new QListView(&owner);
        additionalFilesView->setObjectName(QStringLiteral("additionalFilesView"));
        additionalFilesView->setSelectionMode(QAbstractItemView::ExtendedSelection);
        placeInGrid();
        addHelpButton();
        standardOpenEnabler =
            new OpenWithListedFiles([this] { return manager().additionalFilesNotEmpty(); }, &owner);
        listFilled = manager().additionalFilesListModel()->connectToItemsInsertedSignal(
            [this](int, int) { standardOpenEnabler->update(); });
        connectToFileDialog();
    }

    void createButtons() {
        openButton = new QPushButton(tr("&Open"), &owner);
        openButton->setObjectName(QStringLiteral("customOpenButton"));
        openButton->setAutoDefault(true);
        removeSelectedButton = new QPushButton(tr("Remove &Selected"), &owner);
        removeAllButton = new QPushButton(tr("&Remove All"), &owner);
        addToListButton = new QPushButton(tr("&Add to List"), &owner);
        if (!buttonBox)
            return;
        QPushButton* standardOpen = buttonBox->button(QDialogButtonBox::Open);
        if (standardOpen && !standardOpen->icon().isNull())
            openButton->setIcon(standardOpen->icon());
        buttonBox->addButton(openButton, QDialogButtonBox::AcceptRole);
        buttonBox->addButton(removeSelectedButton, QDialogButtonBox::ActionRole);
        buttonBox->addButton(removeAllButton, QDialogButtonBox::ActionRole);
        buttonBox->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    }

    // "Add to List" beside the file name, the check box beside the file type, then the list of
    // additional files with the dialog's buttons beside it, below everything the dialog has.
    void placeInGrid() {
        QGridLayout* grid = owner.gridLayout();
        if (!grid || !fileNameEdit || !fileTypeCombo)
            return;
        int nameRow = 0, nameColumn = 0, typeRow = 0, typeColumn = 0, span = 0;
        grid->getItemPosition(grid->indexOf(fileNameEdit), &nameRow, &nameColumn, &span, &span);
        grid->getItemPosition(grid->indexOf(fileTypeCombo), &typeRow, &typeColumn, &span, &span);
        if (buttonBox)
            grid->removeWidget(buttonBox);
        grid->addWidget(addToListButton, nameRow, nameColumn + 1);
        grid->addWidget(advancedOptionsCheckBox, typeRow, typeColumn + 1);
        const int labelRow = typeRow + 1;
        const int listRow = labelRow + 1;
        grid->addWidget(additionalFilesLabel, labelRow, 0);
        grid->addWidget(additionalFilesView, listRow, 0, 1, 2);
        if (buttonBox)
            grid->addWidget(buttonBox, listRow, 2);
        // The file browser keeps most of the height.
        if (splitter) {
            int splitterRow = 0, column = 0;
            grid->getItemPosition(grid->indexOf(splitter), &splitterRow, &column, &span, &span);
            grid->setRowStretch(splitterRow, 75);
        }
        grid->setRowStretch(listRow, 25);
    }

    void addHelpButton() {
        if (!buttonBox)
            return;
        auto* help = new LaunchHelpAction(QStringLiteral("load_data_files.html"), &owner);
        QPushButton* button = buttonBox->addButton(help->text(), QDialogButtonBox::HelpRole);
        button->setObjectName(QStringLiteral("helpButton"));
        button->setAutoDefault(false);
        QObject::connect(buttonBox, &QDialogButtonBox::helpRequested, help, &QAction::trigger);
    }

    void connectToFileDialog() {
        if (fileTypeCombo)
            QObject::connect(fileTypeCombo, &QComboBox::currentIndexChanged, &owner,
                             &GenericFileLoaderQtDialog::indexChanged);
        for (QAbstractItemView* view :
             std::initializer_list<QAbstractItemView*>{treeView, owner.listView()}) {
            if (view)
                QObject::connect(view, &QAbstractItemView::doubleClicked, &owner,
                                 &GenericFileLoaderQtDialog::onFileDoubleClicked);
        }
    }

    void setShortcutsAndTabOrdering() const {
        setTabOrderOf(fileNameEdit, addToListButton);
        setTabOrderOf(addToListButton, fileTypeCombo);
        setTabOrderOf(fileTypeCombo, advancedOptionsCheckBox);
        setTabOrderOf(advancedOptionsCheckBox, additionalFilesView);
        setTabOrderOf(additionalFilesView, buttonBox);
        setTabOrderOf(buttonBox, lookInCombo);
        labelWithBuddy(lookInLabel, tr("&Look in:"), lookInCombo);
        labelWithBuddy(owner.fileTypeLabel(), tr("Files of &type:"), fileTypeCombo);
        additionalFilesLabel->setBuddy(additionalFilesView);
    }

    void bindPropertiesToControls() {
        GenericFileLoaderPropertiesManager& loaders = manager();
        parts.bind<CheckButtonPropertyBinding>(advancedOptionsCheckBox, loaders.advancedOptions());
        parts.bind<ButtonBinding>(*addToListButton, [this] { owner.onAddToListClicked(); });
        parts.bind<ButtonBinding>(*removeAllButton, [&loaders] { loaders.clearAdditionalFilesList(); });
        parts.bind<ButtonBinding>(*removeSelectedButton,
                                  [&loaders] { loaders.removeSelectionFromAdditionalFilesList(); });
        parts.bind<ButtonBinding>(*openButton, [this] { owner.openButtonClicked(); });
        using Synchronizer = ListViewPropertySynchronizer<GenericFileLoaderPropertiesManager::Selection>;
        parts
            .bind<ListViewPropertyBinding>(
                std::make_unique<Synchronizer>(*additionalFilesView, loaders.additionalFilesListProperty(),
                                               loaders.additionalFilesListModel(),
                                               BindingInterface::WidgetUpdate_OnIdle),
                BindingInterface::WidgetUpdate_OnIdle)
            .init();
    }

    void bindRelevanciesToControls() {
        GenericFileLoaderPropertiesManager& loaders = manager();
        applyRelevance(loaders.fileSystemViewRelevance(),
                       existing({lookInCombo, backButton, forwardButton, toParentButton, newFolderButton,
                                 listModeButton, detailModeButton}));
        applyRelevance(loaders.fileSystemViewRelevance(),
                       existing({splitter, lookInLabel, fileNameLabel, fileNameEdit}));
        applyRelevance(loaders.advancedOptionsRelevance(), {advancedOptionsCheckBox});
        applyRelevance(loaders.multipleFilesSupportRelevance(), {additionalFilesView, additionalFilesLabel});
        applyRelevance(multipleFilesAndFileSelected(), {addToListButton});
        applyRelevance(loaders.removeSelectedRelevance(), {removeSelectedButton});
        applyRelevance(loaders.removeAllRelevance(), {removeAllButton});
    }

    RelevancePtr multipleFilesAndFileSelected() const {
        auto expression = std::make_shared<RelevanceExpression>(manager().multipleFilesSupportRelevance());
        if (auto* model = qobject_cast<const QFileSystemModel*>(treeView ? treeView->model() : nullptr))
            expression->aand(std::make_shared<OnlyFilesSelectionRelevance>(*model, owner));
        return *expression;
    }

    void applyRelevance(RelevancePtr relevance, std::vector<QWidget*> widgets) {
        parts.applyRelevance(std::move(relevance), std::move(widgets), RelevanceApplier::Manifestation_Enable,
                             BindingInterface::WidgetUpdate_OnIdle);
    }

    // Starts on the loader the caller named; a name that begins no file type leaves the second
    // one, or the only one.
    void setupLoader() {
        if (loaderName.empty())
            return;
        const QStringList filters = owner.nameFilters();
        const QString name = QString::fromStdString(loaderName);
        const auto match = std::find_if(filters.begin(), filters.end(), [&name](const QString& filter) {
            return filterBeginsWith(filter, name);
        });
        if (match != filters.end())
            owner.selectNameFilter(*match);
        else if (filters.size() > 1)
            owner.selectNameFilter(filters.at(1));
        else if (!filters.isEmpty())
            owner.selectNameFilter(filters.front());
    }

    // The previous dialog's choice, where the loader leaves it to the user; a loader that always
    // uses its options, or brings its own dialog, has them on; one without options has them off.
    bool initialAdvancedOptions(bool previousChoice) const {
        if (!manager().currentSelectedLoader())
            return previousChoice;
        const DataLoaderInterface::Properties properties = loaderProperties();
        if (!properties.takesFilesFromDialog() || properties.alwaysUsesAdvancedOptions())
            return true;
        return previousChoice && manager().selectedLoaderAllowsAdvancedOptions();
    }

    bool customOpenButtonShown() const { return buttonBox && buttonBox->buttons().contains(openButton); }

    void showCustomOpenButton() {
        if (QPushButton* standard = buttonBox->button(QDialogButtonBox::Open)) {
            buttonBox->removeButton(standard);
            standard->deleteLater();
        }
        if (!customOpenButtonShown())
            buttonBox->addButton(openButton, QDialogButtonBox::AcceptRole);
        openButton->setDefault(true);
    }

    void showStandardOpenButton() {
        if (customOpenButtonShown()) {
            buttonBox->removeButton(openButton);
            // Out of the box, the button would have no parent; it stays the dialog's for later.
            openButton->setParent(&owner);
            openButton->hide();
        }
        QPushButton* standard = buttonBox->button(QDialogButtonBox::Open);
        if (!standard)
            standard = buttonBox->addButton(QDialogButtonBox::Open);
        standard->setText(tr("&Open"));
        standard->setDefault(true);
        standardOpenEnabler->watch(standard);
    }

    // Validation makes the file dialog insist on existing selected files. It is in the way when
    // the loader takes no files from here, when its advanced options need none, and when the
    // files come from the additional list alone.
    bool needsSelectionValidation() const {
        const DataLoaderInterface::Properties properties = loaderProperties();
        if (!properties.takesFilesFromDialog())
            return false;
        if (owner.advancedOptionsSelected() && !properties.fileRequiredWithAdvancedOptions)
            return false;
        const bool nameFieldEmpty = !fileNameEdit || fileNameEdit->text().isEmpty();
        return !(nameFieldEmpty && manager().additionalFilesNotEmpty());
    }

    static QString tr(const char* text) { return GenericFileLoaderQtDialog::tr(text); }
};

GenericFileLoaderQtDialog::GenericFileLoaderQtDialog(QWidget& parent, const std::string& loaderName,
                                                     const std::string& directory)
    : QExtendedFileDialog(&parent, tr("Load Data"), QString::fromStdString(directory),
                          QStringLiteral("Qelmar (*.plt *.dat)"))
    , m_impl(std::make_unique<Impl>(*this, loaderName)) {
    Impl& d = *m_impl;
    d.findCommonControls();
    if (d.fileNameEdit)
        d.fileNameEdit->setPlaceholderText(
            tr("<Enter file name or custom file extension here (e.g. *.bin)>"));
    d.setupFileDialog();
    d.addCustomControls();
    d.setShortcutsAndTabOrdering();
    d.bindPropertiesToControls();
    d.bindRelevanciesToControls();

    d.setupLoader();
    const bool advanced = d.initialAdvancedOptions(d.manager().advancedOptionsAtStart());
    d.manager().advancedOptions()->setValue(advanced);
    connect(d.advancedOptionsCheckBox, &QCheckBox::stateChanged, this,
            &GenericFileLoaderQtDialog::advancedOptionsStateChanged);
    advancedOptionsStateChanged(advanced ? checkedState : uncheckedState);

    const QScreen* desktop = screen();
    setDefaultSize(QSize(width(), desktop ? desktop->virtualGeometry().height() / 2 : height()));
    setGeometryPersistenceKey(QStringLiteral("GenericFileLoader/Geometry"));
}

GenericFileLoaderQtDialog::~GenericFileLoaderQtDialog() = default;

int GenericFileLoaderQtDialog::launch() {
    if (!m_impl->manager().hasLoaders()) {
        QelUtilDialogMessageBox(
            tr("No data can be loaded: the application offers no data loaders.").toUtf8().constData(),
            MessageBox_Error);
        setResult(Rejected);
        return Rejected;
    }
    return exec();
}

std::vector<std::string> GenericFileLoaderQtDialog::files() const {
    std::vector<std::string> result = m_impl->manager().additionalFiles();
    const std::size_t additional = result.size();
    for (const QString& file : selectedFiles()) {
        if (!isExistingFile(file))
            continue;
        std::string name = nativeUtf8(file);
        const auto listed = result.begin() + static_cast<std::ptrdiff_t>(additional);
        if (std::find(result.begin(), listed, name) == listed)
            result.push_back(std::move(name));
    }
    return result;
}

DataLoaderPtr GenericFileLoaderQtDialog::selectedLoader() const {
    return m_impl->manager().currentSelectedLoader();
}

bool GenericFileLoaderQtDialog::isQelmarLayoutLoaderSelected() const {
    return m_impl->manager().isQelmarLayoutLoaderSelected();
}

bool GenericFileLoaderQtDialog::advancedOptionsSelected() const {
    return m_impl->manager().advancedOptions()->retrieveValue();
}

void GenericFileLoaderQtDialog::setVisible(bool visible) {
    QExtendedFileDialog::setVisible(visible);
    if (visible && m_impl->treeView)
        m_impl->treeView->setFocus();
}

void GenericFileLoaderQtDialog::accept() {
    if (m_impl->swallowNextAccept) {
        m_impl->swallowNextAccept = false;
        return;
    }
    // The custom Open button is in the box with the accept role, so its click also arrives here
    // through the box; its binding already opens.
    if (sender() == m_impl->buttonBox && m_impl->customOpenButtonShown())
        return;
    openButtonClicked();
}

void GenericFileLoaderQtDialog::advancedOptionsStateChanged(int state) {
    Impl& d = *m_impl;
    if (!d.buttonBox || (state != checkedState && state != uncheckedState))
        return;
    const SuspendedUpdates suspended(*d.buttonBox);
    if (state == checkedState)
        d.showCustomOpenButton();
    else
        d.showStandardOpenButton();
}

void GenericFileLoaderQtDialog::onAddToListClicked() {
    m_impl->manager().addFilesToAdditionalFilesList(existingFiles(selectedFiles()));
    m_impl->clearSelectedFiles();
}

void GenericFileLoaderQtDialog::indexChanged(int index) {
    if (index < 0)
        return;
    Impl& d = *m_impl;
    d.manager().setCurrentSelectedLoader(index);
    d.setDialogFileMode();
    d.clearSelectedFiles();
    d.manager().clearAdditionalFilesList();
}

void GenericFileLoaderQtDialog::openButtonClicked() {
    if (m_impl->needsSelectionValidation())
        QExtendedFileDialog::accept();
    else
        QDialog::accept();
}

void GenericFileLoaderQtDialog::onFileDoubleClicked(const QModelIndex& index) {
    const QString path = index.data(QFileSystemModel::FilePathRole).toString();
    // The file dialog opens a folder itself.
    if (!path.isEmpty() && QFileInfo(path).isDir())
        return;
    if (path.isEmpty()) {
        openButtonClicked();
        return;
    }
    m_impl->swallowNextAccept = true;
    if (fileMode() == ExistingFiles)
        m_impl->manager().addFilesToAdditionalFilesList(existingFiles(selectedFiles()));
    else
        openButtonClicked();
}

} // namespace qelmar::dialogs::io
