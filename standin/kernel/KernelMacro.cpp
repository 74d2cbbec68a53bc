#include "host/KernelMacro.h"

#include "host/KernelMessages.h"
#include "kernel/KernelState.h"
#include "kernel/MacroFileFormat.h"

#include <QSaveFile>
#include <QString>

#include <memory>

using qelmar::standin::KernelState;

namespace {

struct MacroRecording {
    // The recording goes to a temporary file that replaces the target only when the recording
    // ends, so a cancelled or failed recording never destroys a macro that was there before.
    std::unique_ptr<QSaveFile> file;
    int language = 0;
};

MacroRecording& recording() {
    static MacroRecording state;
    return state;
}

const qelmar::standin::ResetRegistration resetMacro{[] {
    recording().file.reset();
    recording().language = 0;
}};

bool writeLine(QSaveFile& file, const std::string& line) {
    const std::string withNewline = line + '\n';
    return file.write(withNewline.data(), static_cast<qint64>(withNewline.size())) ==
               static_cast<qint64>(withNewline.size()) &&
           file.flush();
}

void reportMacroError(const QString& message) {
    QelUtilDialogMessageBox(message.toUtf8().constData(), 0);
}

} // namespace

bool QelAppMacroRecordStart(const char* fileName) {
    if (!KernelState::instance().beginCall("QelAppMacroRecordStart"))
        return false;
    auto& state = recording();
    if (state.file) {
        reportMacroError(QStringLiteral("A macro is already being recorded."));
        return false;
    }
    if (!fileName || !*fileName) {
        reportMacroError(QStringLiteral("No file name was given for the macro."));
        return false;
    }
    auto file = std::make_unique<QSaveFile>(QString::fromUtf8(fileName));
    if (!file->open(QIODevice::WriteOnly | QIODevice::Text) ||
        !writeLine(*file, qelmar::standin::macroFileHeader())) {
        reportMacroError(QStringLiteral("Cannot record the macro into \"%1\": %2")
                             .arg(QString::fromUtf8(fileName), file->errorString()));
        return false;
    }
    state.file = std::move(file);
    return true;
}

bool QelAppMacroRecordEnd() {
    if (!KernelState::instance().beginCall("QelAppMacroRecordEnd"))
        return false;
    auto& state = recording();
    if (!state.file)
        return false;
    const std::unique_ptr<QSaveFile> file = std::move(state.file);
    if (!file->commit()) {
        reportMacroError(QStringLiteral("The macro file \"%1\" could not be written: %2")
                             .arg(file->fileName(), file->errorString()));
        return false;
    }
    return true;
}

bool QelAppMacroRecordCancel() {
    if (!KernelState::instance().beginCall("QelAppMacroRecordCancel"))
        return false;
    auto& state = recording();
    if (!state.file)
        return false;
    state.file->cancelWriting();
    state.file.reset();
    return true;
}

bool QelUtilMacroRecordRawCommand(const char* command) {
    if (!KernelState::instance().beginCall("QelUtilMacroRecordRawCommand"))
        return false;
    auto& state = recording();
    if (!state.file || !command)
        return false;
    return writeLine(*state.file, command);
}

bool QelUtilUserMacroIsRecordingActive() {
    if (!KernelState::instance().beginCall("QelUtilUserMacroIsRecordingActive"))
        return false;
    return recording().file != nullptr;
}

int QelAppRecordingLangauge() {
    KernelState::instance().beginCall("QelAppRecordingLangauge");
    return recording().language;
}

namespace qelmar::standin {

void setRecordingLanguage(int language) {
    recording().language = language;
}

} // namespace qelmar::standin
