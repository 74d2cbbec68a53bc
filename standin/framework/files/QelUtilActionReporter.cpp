#include "host/QelUtilActionReporter.h"

#include "host/KernelErrors.h"
#include "host/KernelMessages.h"
#include "host/KernelString.h"

namespace qelmar::sdk::ui {

namespace {

std::string takeLastKernelError() {
    return KernelString(QelUtilGetLastErrorMessage()).str();
}

void appendLine(std::string& text, const std::string& line) {
    if (line.empty())
        return;
    if (!text.empty())
        text += '\n';
    text += line;
}

} // namespace

QelUtilActionReporter::QelUtilActionReporter() = default;
QelUtilActionReporter::~QelUtilActionReporter() = default;

bool QelUtilActionReporter::reportResult(bool outcome, const std::string& failureText,
                                         const std::string& detail) const {
    if (outcome)
        return true;
    std::string message = failureText;
    appendLine(message, detail);
    appendLine(message, takeLastKernelError());
    QelUtilDialogMessageBox(message.c_str(), MessageBox_Error);
    return false;
}

} // namespace qelmar::sdk::ui
