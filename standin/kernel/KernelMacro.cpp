#include "host/KernelMacro.h"

#include "host/KernelMessages.h"
#include "kernel/KernelState.h"
#include "kernel/MacroFileFormat.h"
#include "kernel/SafeFile.h"

#include <QString>

#include <memory>

using qelmar::standin::KernelState;
using qelmar::standin::SafeFile;

namespace {

struct MacroRecording {
    // The recording replaces the target only when it ends, so a cancelled or failed recording
    // never destroys a macro that was there before; after a failed line the end fails too.
    std::unique_ptr<SafeFile> file;
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

void writeLine(SafeFile& file, const std::string& line) {
    file.append(QByteArray::fromStdString(line + '\n'));
}

void reportMacroError(const QString& message) {
    QelUtilDialogMessageBox(message.toUtf8().constData(), 0);
}

std::unique_ptr<SafeFile> startedMacro(const char* fileName) {
    auto file = std::make_unique<SafeFile>(fileName);
    writeLine(*file, qelmar::standin::macroFileHeader());
    return file;
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
    try {
        state.file = startedMacro(fileName);
        return true;
    } catch (const SafeFile::WriteError& failure) {
        reportMacroError(QStringLiteral("Cannot record the macro into \"%1\": %2")
                             .arg(QString::fromUtf8(fileName), QString::fromStdString(failure.reason())));
        return false;
    }
}

bool QelAppMacroRecordEnd() {
    if (!KernelState::instance().beginCall("QelAppMacroRecordEnd"))
        return false;
    auto& state = recording();
    if (!state.file)
        return false;
    const std::unique_ptr<SafeFile> file = std::move(state.file);
    try {
        file->commit();
        return true;
    } catch (const SafeFile::WriteError& failure) {
        reportMacroError(
            QStringLiteral("The macro file \"%1\" could not be written: %2")
                .arg(QString::fromStdString(file->path()), QString::fromStdString(failure.reason())));
        return false;
    }
}

bool QelAppMacroRecordCancel() {
    if (!KernelState::instance().beginCall("QelAppMacroRecordCancel"))
        return false;
    auto& state = recording();
    if (!state.file)
        return false;
    state.file.reset();
    return true;
}

bool QelUtilMacroRecordRawCommand(const char* command) {
    if (!KernelState::instance().beginCall("QelUtilMacroRecordRawCommand"))
        return false;
    auto& state = recording();
    if (!state.file || !command)
        return false;
    try {
        writeLine(*state.file, command);
        return true;
    } catch (const SafeFile::WriteError&) {
        return false; // the end of the recording reports it
    }
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
