#pragma once

#include <string>

namespace qelmar::sdk::ui {

// Tells the user when a kernel operation failed. The message is the failure text, followed by
// the detail and by the kernel's own explanation of the last failure when there is one.
class QelUtilActionReporter {
public:
    QelUtilActionReporter();
    ~QelUtilActionReporter();
    QelUtilActionReporter(const QelUtilActionReporter&) = delete;
    QelUtilActionReporter& operator=(const QelUtilActionReporter&) = delete;

    // Shows the failure through the kernel's error message box when outcome is false; returns
    // outcome.
    bool reportResult(bool outcome, const std::string& failureText, const std::string& detail) const;
};

} // namespace qelmar::sdk::ui
