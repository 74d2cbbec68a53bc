#pragma once

// Macro recording.

bool QelAppMacroRecordStart(const char* fileName);
bool QelAppMacroRecordEnd();
bool QelAppMacroRecordCancel();
bool QelUtilMacroRecordRawCommand(const char* command);
bool QelUtilUserMacroIsRecordingActive();
// 0 for the macro language, 1 for scripting.
int QelAppRecordingLangauge();
