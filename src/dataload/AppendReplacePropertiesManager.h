#pragma once

#include "host/DataLoadOption.h"
#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/RelevanceInterface.h"

namespace qelmar::sdk::ui::propertymanager {

// The choice of how newly loaded data joins the data already shown, and which choices apply:
// retaining the style only when the loader can, replacing in all shared frames only when
// another frame shows the current data set as well.
class AppendReplacePropertiesManager {
public:
    explicit AppendReplacePropertiesManager(bool retainStyleAvailable);
    virtual ~AppendReplacePropertiesManager();
    AppendReplacePropertiesManager(const AppendReplacePropertiesManager&) = delete;
    AppendReplacePropertiesManager& operator=(const AppendReplacePropertiesManager&) = delete;

    // The chosen option; none until the user chose.
    PropertyPtr<dataload::DataLoadOption> option();
    RelevancePtr preserveStyleRelevance() const;
    RelevancePtr sharedDataRelevance() const;

    // True when a frame other than the current one shows the current frame's data set.
    bool currentDataSetIsShared() const;

private:
    PropertyPtr<dataload::DataLoadOption> m_option;
    RelevancePtr m_preserveStyleRelevance;
    RelevancePtr m_sharedDataRelevance;
};

} // namespace qelmar::sdk::ui::propertymanager
