#include "dataload/GenericFileLoaderPropertiesManager.h"

#include "host/BooleanPropertyDependentRelevance.h"
#include "host/DataLoaderRepository.h"
#include "host/RelevanceExpression.h"
#include "host/StringListModel.h"
#include "propertyframework/ModelDependentRelevance.h"
#include "propertyframework/Property.h"
#include "propertyframework/PropertyPredicateDependentRelevance.h"

#include <QDir>

namespace qelmar::sdk::ui::propertymanager {

using dialogs::propertybindings::models::ConstListModelPtr;
using dialogs::propertybindings::models::StringListModel;

namespace {

// Shared by every dialog of the process, so that the user's last choice carries over.
const std::shared_ptr<Property<bool>> advancedOptionsProperty = std::make_shared<Property<bool>>(false);

} // namespace

struct GenericFileLoaderPropertiesManager::Impl {
    std::shared_ptr<Property<int>> selectedLoaderIndex = std::make_shared<Property<int>>(0);
    std::shared_ptr<Property<bool>> multipleFiles = std::make_shared<Property<bool>>(false);
    std::shared_ptr<Property<Selection>> additionalFilesSelection = std::make_shared<Property<Selection>>();
    std::vector<DataLoaderPtr> loaders;
    DataLoaderPtr currentLoader;
    std::shared_ptr<StringListModel> additionalFilesModel = std::make_shared<StringListModel>();
    const bool advancedOptionsAtStart = advancedOptionsProperty->retrieveValue();

    // After the properties and the model they listen to, so that they go first.
    RelevancePtr advancedOptionsRelevance;
    RelevancePtr multipleFilesSupportRelevance;
    RelevancePtr removeSelectedRelevance;
    RelevancePtr removeAllRelevance;
    RelevancePtr fileSystemViewRelevance;
};

GenericFileLoaderPropertiesManager::GenericFileLoaderPropertiesManager()
    : m_impl(std::make_unique<Impl>()) {
    installRelevancies();
    m_impl->loaders = DataLoaderRepository::getInstance().dataLoaderInterfaces(true);
    if (!hasLoaders())
        return;
    setCurrentSelectedLoader(0);
    if (selectedLoaderAllowsAdvancedOptions())
        advancedOptionsProperty->setValue(m_impl->advancedOptionsAtStart);
}

GenericFileLoaderPropertiesManager::~GenericFileLoaderPropertiesManager() = default;

void GenericFileLoaderPropertiesManager::installRelevancies() {
    Impl& d = *m_impl;
    d.advancedOptionsRelevance = std::make_shared<PropertyPredicateDependentRelevance>(
        d.selectedLoaderIndex, [this] { return selectedLoaderAllowsAdvancedOptions(); });
    d.fileSystemViewRelevance = std::make_shared<PropertyPredicateDependentRelevance>(
        d.selectedLoaderIndex, [this] { return isModernLoader(); });
    d.multipleFilesSupportRelevance = std::make_shared<BooleanPropertyDependentRelevance>(d.multipleFiles);

    auto selected = std::make_shared<RelevanceExpression>(d.multipleFilesSupportRelevance);
    selected->aand(std::make_shared<PropertyPredicateDependentRelevance>(
        d.additionalFilesSelection, [this] { return additionalFilesSelected(); }));
    d.removeSelectedRelevance = *selected;

    auto all = std::make_shared<RelevanceExpression>(d.multipleFilesSupportRelevance);
    all->aand(std::make_shared<ModelDependentRelevance<int>>(*d.additionalFilesModel,
                                                             [this] { return additionalFilesNotEmpty(); }));
    d.removeAllRelevance = *all;
}

RelevancePtr GenericFileLoaderPropertiesManager::advancedOptionsRelevance() const {
    return m_impl->advancedOptionsRelevance;
}

RelevancePtr GenericFileLoaderPropertiesManager::multipleFilesSupportRelevance() const {
    return m_impl->multipleFilesSupportRelevance;
}

RelevancePtr GenericFileLoaderPropertiesManager::removeSelectedRelevance() const {
    return m_impl->removeSelectedRelevance;
}

RelevancePtr GenericFileLoaderPropertiesManager::removeAllRelevance() const {
    return m_impl->removeAllRelevance;
}

RelevancePtr GenericFileLoaderPropertiesManager::fileSystemViewRelevance() const {
    return m_impl->fileSystemViewRelevance;
}

PropertyPtr<GenericFileLoaderPropertiesManager::Selection>
GenericFileLoaderPropertiesManager::additionalFilesListProperty() const {
    return m_impl->additionalFilesSelection;
}

ConstListModelPtr<int> GenericFileLoaderPropertiesManager::additionalFilesListModel() const {
    return m_impl->additionalFilesModel;
}

PropertyPtr<bool> GenericFileLoaderPropertiesManager::advancedOptions() const {
    return advancedOptionsProperty;
}

bool GenericFileLoaderPropertiesManager::advancedOptionsAtStart() const {
    return m_impl->advancedOptionsAtStart;
}

PropertyPtr<int> GenericFileLoaderPropertiesManager::selectedLoaderIndex() const {
    return m_impl->selectedLoaderIndex;
}

PropertyPtr<bool> GenericFileLoaderPropertiesManager::multipleFiles() const {
    return m_impl->multipleFiles;
}

DataLoaderPtr GenericFileLoaderPropertiesManager::currentSelectedLoader() const {
    return m_impl->currentLoader;
}

bool GenericFileLoaderPropertiesManager::hasLoaders() const {
    return !m_impl->loaders.empty();
}

std::vector<std::string> GenericFileLoaderPropertiesManager::loaderExtensions() const {
    std::vector<std::string> texts;
    texts.reserve(m_impl->loaders.size());
    for (const DataLoaderPtr& loader : m_impl->loaders) {
        const DataLoaderInterface::Properties properties = loader->properties();
        std::string text = properties.name;
        if (!properties.takesFilesFromDialog())
            text += " (Open to use)";
        text += " (" + properties.filePattern + ")";
        texts.push_back(std::move(text));
    }
    return texts;
}

void GenericFileLoaderPropertiesManager::setCurrentSelectedLoader(int index) {
    Impl& d = *m_impl;
    d.currentLoader = d.loaders.at(static_cast<std::size_t>(index));
    d.selectedLoaderIndex->setValue(index);
    const DataLoaderInterface::Properties properties = d.currentLoader->properties();
    // A loader with its own dialog gets no files from this one, however many it could take.
    d.multipleFiles->setValue(properties.takesFilesFromDialog() && properties.multipleFiles);
    // A loader with its own interface always shows its options.
    advancedOptionsProperty->setValue(isModernLoader() ? properties.alwaysUsesAdvancedOptions() : true);
}

bool GenericFileLoaderPropertiesManager::isModernLoader() const {
    return m_impl->currentLoader && DataLoaderRepository::getInstance().isModernLoader(m_impl->currentLoader);
}

bool GenericFileLoaderPropertiesManager::selectedLoaderAllowsAdvancedOptions() const {
    return isModernLoader() && m_impl->currentLoader->properties().offersAdvancedOptions();
}

bool GenericFileLoaderPropertiesManager::isQelmarLayoutLoaderSelected() const {
    return m_impl->currentLoader &&
           m_impl->currentLoader->properties().name == DataLoaderRepository::QELMAR_LAYOUT_LOADER_NAME;
}

bool GenericFileLoaderPropertiesManager::additionalFilesNotEmpty() const {
    return m_impl->additionalFilesModel->size() > 0;
}

bool GenericFileLoaderPropertiesManager::additionalFilesSelected() const {
    return !m_impl->additionalFilesSelection->retrieveValue().empty();
}

void GenericFileLoaderPropertiesManager::addFilesToAdditionalFilesList(const QStringList& files) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(files.size()));
    for (const QString& file : files)
        names.push_back(QDir::toNativeSeparators(file).toUtf8().toStdString());
    if (!names.empty())
        m_impl->additionalFilesModel->append(names);
    removeListSelection();
}

std::vector<std::string> GenericFileLoaderPropertiesManager::additionalFiles() const {
    return m_impl->additionalFilesModel->strings();
}

void GenericFileLoaderPropertiesManager::removeSelectionFromAdditionalFilesList() {
    m_impl->additionalFilesModel->erase(m_impl->additionalFilesSelection->retrieveValue());
    removeListSelection();
}

void GenericFileLoaderPropertiesManager::clearAdditionalFilesList() {
    m_impl->additionalFilesModel->clear();
    removeListSelection();
}

void GenericFileLoaderPropertiesManager::removeListSelection() {
    m_impl->additionalFilesSelection->setValue(Selection());
}

} // namespace qelmar::sdk::ui::propertymanager
