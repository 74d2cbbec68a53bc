#pragma once

#include "host/DataLoaderInterface.h"
#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/RelevanceInterface.h"
#include "propertyframework/models/ListModelInterface.h"

#include <QStringList>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qelmar::sdk::ui::propertymanager {

// The state of the load-data dialog without its widgets: the application's loaders and the
// chosen one, the file type texts, the additional-files list and its selection, the advanced
// options choice and the relevances that enable the dialog's controls.
//
// The advanced options choice is one value for the whole process, so the next manager starts
// with the last one's choice, as long as its first loader leaves the choice to the user, until
// another loader is selected.
class GenericFileLoaderPropertiesManager {
public:
    using Selection = std::set<int>;

    GenericFileLoaderPropertiesManager();
    ~GenericFileLoaderPropertiesManager();
    GenericFileLoaderPropertiesManager(const GenericFileLoaderPropertiesManager&) = delete;
    GenericFileLoaderPropertiesManager& operator=(const GenericFileLoaderPropertiesManager&) = delete;

    RelevancePtr advancedOptionsRelevance() const;
    RelevancePtr multipleFilesSupportRelevance() const;
    RelevancePtr removeSelectedRelevance() const;
    RelevancePtr removeAllRelevance() const;
    RelevancePtr fileSystemViewRelevance() const;
    // The selected rows of the additional-files list.
    PropertyPtr<Selection> additionalFilesListProperty() const;
    dialogs::propertybindings::models::ConstListModelPtr<int> additionalFilesListModel() const;
    PropertyPtr<bool> advancedOptions() const;
    // The advanced options choice the previous dialog left, before this manager selected a
    // loader.
    bool advancedOptionsAtStart() const;
    PropertyPtr<int> selectedLoaderIndex() const;
    PropertyPtr<bool> multipleFiles() const;

    // Null only when the application offers no loader.
    DataLoaderPtr currentSelectedLoader() const;
    bool hasLoaders() const;
    // One file type text per loader, in the loaders' order.
    std::vector<std::string> loaderExtensions() const;
    // `index` is a position in the loaders' list.
    void setCurrentSelectedLoader(int index);

    // Whether the current loader works through this dialog's file selection and advanced
    // options ("modern"), rather than bringing a user interface of its own; the repository
    // says which loaders are.
    bool isModernLoader() const;
    bool selectedLoaderAllowsAdvancedOptions() const;
    bool isQelmarLayoutLoaderSelected() const;
    bool additionalFilesNotEmpty() const;
    bool additionalFilesSelected() const;

    void addFilesToAdditionalFilesList(const QStringList& files);
    std::vector<std::string> additionalFiles() const;
    void removeSelectionFromAdditionalFilesList();
    void clearAdditionalFilesList();
    void removeListSelection();

private:
    void installRelevancies();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::propertymanager
