#include "macro/MacroRecorderPropertiesManager.h"

#include "host/AppLock.h"
#include "host/InvertingRelevance.h"
#include "host/KernelMacro.h"
#include "host/KernelMessages.h"

namespace qelmar::sdk::ui::propertymanager {

namespace {

bool askUser(const char* question) {
    return QelUtilDialogMessageBox(question, MessageBox_Question);
}

void recordRawCommand(const std::string& command) {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    QelUtilMacroRecordRawCommand(command.c_str());
}

void recordAfterConfirmation(const char* question, const char* command) {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    if (askUser(question))
        QelUtilMacroRecordRawCommand(command);
}

} // namespace

// Every relevance about recording derives from this one object, so a single notification
// reaches all observers.
const std::shared_ptr<const MacroRecorderPropertiesManager::MacroRecordingRelevance>
    MacroRecorderPropertiesManager::m_relevance =
        std::make_shared<const MacroRecorderPropertiesManager::MacroRecordingRelevance>();

bool MacroRecorderPropertiesManager::MacroRecordingRelevance::isRelevant() const {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    return !QelUtilUserMacroIsRecordingActive();
}

void MacroRecorderPropertiesManager::MacroRecordingRelevance::callRelevanceChanged() const {
    emitRelevanceChanged();
}

MacroRecorderPropertiesManager::MacroRecordingRelevance::~MacroRecordingRelevance() = default;

MacroRecorderPropertiesManager::~MacroRecorderPropertiesManager() = default;

RelevancePtr MacroRecorderPropertiesManager::relevance() {
    return m_relevance;
}

RelevancePtr MacroRecorderPropertiesManager::okToKeepUpRelevance() {
    return std::make_shared<const InvertingRelevance>(m_relevance);
}

std::string MacroRecorderPropertiesManager::escapeDelimitingCharacters(const std::string& text) const {
    std::string escaped = text;
    std::string::size_type position = escaped.find('\'');
    while (position != std::string::npos) {
        escaped.insert(position, 1, '\\');
        // Past the backslash and the quote it protects.
        position = escaped.find('\'', position + 2);
    }
    return escaped;
}

bool MacroRecorderPropertiesManager::startAction(const std::string& fileName) const {
    // Starting is the one operation without the application lock; a refusing kernel reports
    // its own reason, so there is nothing to add here.
    if (!QelAppMacroRecordStart(fileName.c_str()))
        return false;
    m_relevance->callRelevanceChanged();
    return true;
}

bool MacroRecorderPropertiesManager::stopAction() {
    {
        const AppLock lock(AppLock::NoImplicitMacroRecord);
        if (!askUser("Are you sure you want to stop\nthe current recording session?"))
            return false;
    }
    return endRecording();
}

bool MacroRecorderPropertiesManager::endRecording() {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    if (!QelUtilUserMacroIsRecordingActive())
        return false;
    QelAppMacroRecordEnd();
    m_relevance->callRelevanceChanged();
    return true;
}

bool MacroRecorderPropertiesManager::cancelAction() const {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    if (!QelUtilUserMacroIsRecordingActive())
        return false;
    if (!askUser("Are you sure you want to cancel\nthe current recording session?"))
        return false;
    QelAppMacroRecordCancel();
    m_relevance->callRelevanceChanged();
    return true;
}

void MacroRecorderPropertiesManager::pauseAction(std::string text) const {
    recordRawCommand("$!PAUSE '" + escapeDelimitingCharacters(text) + "'");
}

void MacroRecorderPropertiesManager::suspendGraphicsAction() {
    recordAfterConfirmation("Are you sure you want to insert $!DRAWGRAPHICS FALSE\ninto the recorded macro?",
                            "$!DRAWGRAPHICS FALSE");
}

void MacroRecorderPropertiesManager::unSuspendGraphicsAction() {
    recordAfterConfirmation("Are you sure you want to insert $!DRAWGRAPHICS TRUE\ninto the recorded macro?",
                            "$!DRAWGRAPHICS TRUE");
}

void MacroRecorderPropertiesManager::insertCommandAction(std::string text) const {
    recordRawCommand(text);
}

} // namespace qelmar::sdk::ui::propertymanager
