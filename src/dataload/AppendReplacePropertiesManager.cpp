#include "dataload/AppendReplacePropertiesManager.h"

#include "host/AppLock.h"
#include "host/KernelDataSets.h"
#include "host/KernelFrames.h"
#include "host/RelevanceExpression.h"
#include "host/SimpleBooleanRelevance.h"
#include "propertyframework/AllowAnyValueValidator.h"
#include "propertyframework/Property.h"

namespace qelmar::sdk::ui::propertymanager {

using dataload::DataLoadOption;

namespace {

// The frame walk moves the current frame; ending it puts the original one back, also when
// the walk stops early.
class AllFramesWalk {
public:
    AllFramesWalk() { QelUtilFrameLightweightForAllPagesLoopStart(); }
    ~AllFramesWalk() { QelUtilFrameLightweightForAllPagesLoopEnd(); }
    AllFramesWalk(const AllFramesWalk&) = delete;
    AllFramesWalk& operator=(const AllFramesWalk&) = delete;

    bool next() { return QelUtilFrameLightweightForAllPagesLoopNext(); }
};

} // namespace

AppendReplacePropertiesManager::AppendReplacePropertiesManager(bool retainStyleAvailable)
    : m_option(std::make_shared<Property<DataLoadOption>>(dataload::DataLoadOption_None,
                                                          AllowAnyValueValidator<DataLoadOption>::instance()))
    , m_preserveStyleRelevance(std::make_shared<const SimpleBooleanRelevance>(retainStyleAvailable)) {
    // Sharing is looked at once: the dialog asks one question about the frames as they are now.
    auto shared = std::make_shared<RelevanceExpression>(m_preserveStyleRelevance);
    shared->aand(std::make_shared<const SimpleBooleanRelevance>(currentDataSetIsShared()));
    m_sharedDataRelevance = *shared;
}

AppendReplacePropertiesManager::~AppendReplacePropertiesManager() = default;

PropertyPtr<DataLoadOption> AppendReplacePropertiesManager::option() {
    return m_option;
}

RelevancePtr AppendReplacePropertiesManager::preserveStyleRelevance() const {
    return m_preserveStyleRelevance;
}

RelevancePtr AppendReplacePropertiesManager::sharedDataRelevance() const {
    return m_sharedDataRelevance;
}

bool AppendReplacePropertiesManager::currentDataSetIsShared() const {
    if (!QelUtilDataSetIsAvailable())
        return false;
    const long currentDataSet = QelUtilDataSetGetUniqueID();
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    // The walk starts on the current frame, which is skipped: only another frame can share.
    AllFramesWalk walk;
    while (walk.next()) {
        if (QelUtilDataSetIsAvailable() && QelUtilDataSetGetUniqueID() == currentDataSet)
            return true;
    }
    return false;
}

} // namespace qelmar::sdk::ui::propertymanager
