#pragma once

#include "propertyframework/RelevanceInterface.h"

#include <memory>
#include <string>

namespace qelmar::sdk::ui::propertymanager {

// The operations on the kernel's macro recorder, each with the confirmation and the
// application lock it needs. Holds no state: the recording state is the kernel's.
class MacroRecorderPropertiesManager {
public:
    // True while no macro is being recorded, i.e. while a new recording may start.
    class MacroRecordingRelevance : public virtual RelevanceInterface {
    public:
        bool isRelevant() const override;
        virtual void callRelevanceChanged() const;
        ~MacroRecordingRelevance() override;
    };

    MacroRecorderPropertiesManager() = default;
    virtual ~MacroRecorderPropertiesManager();

    // The one recording relevance of the process: true while no recording runs.
    static RelevancePtr relevance();
    // True while a recording runs; follows relevance().
    static RelevancePtr okToKeepUpRelevance();

    // Puts a backslash before every single quote, so the text survives inside a quoted
    // macro string.
    std::string escapeDelimitingCharacters(const std::string& text) const;

    bool startAction(const std::string& fileName) const;
    bool stopAction();
    // Ends a recording that is under way without asking, keeping what was recorded; false when
    // none is.
    bool endRecording();
    bool cancelAction() const;
    void pauseAction(std::string text) const;
    void suspendGraphicsAction();
    void unSuspendGraphicsAction();
    void insertCommandAction(std::string text) const;

private:
    static const std::shared_ptr<const MacroRecordingRelevance> m_relevance;
};

} // namespace qelmar::sdk::ui::propertymanager
