#pragma once

// Messages shown by the kernel.

enum MessageBoxType_e {
    MessageBox_Error = 0,
    MessageBox_Warning = 1,
    MessageBox_Information = 2,
    MessageBox_Question = 3
};
// For a question, true only when the user answered yes.
bool QelUtilDialogMessageBox(const char* text, int type);
void QelUtilDialogErrMsg(const char* text);
