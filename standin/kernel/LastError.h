#pragma once

// Internal to the stand-in kernel: the reason behind QelUtilGetLastErrorMessage. Every call
// that writes or reads a file clears it when it starts and sets it when it fails, so the text
// always belongs to the most recent such call.
//
// Inside the kernel and its engines a failure is an exception carrying a message for the user;
// a flat call turns it into false and the last error once, at its entry, through
// succeedsOrSetsLastError. Nothing in between passes error strings or flags along.

#include <exception>
#include <new>
#include <string>

namespace qelmar::standin {

void setLastErrorMessage(std::string message);
void clearLastErrorMessage();
const std::string& lastErrorMessage();

// Runs `body`; true when it returns, false with the reason as the last error when it throws.
// No exception leaves, since the flat calls promise none.
template <typename Body> bool succeedsOrSetsLastError(Body&& body) {
    try {
        body();
        return true;
    } catch (const std::bad_alloc&) {
        setLastErrorMessage("There is not enough memory to finish; close other programs and try again.");
    } catch (const std::exception& failure) {
        setLastErrorMessage(failure.what());
    } catch (...) {
        setLastErrorMessage("An unexpected internal error stopped this.");
    }
    return false;
}

} // namespace qelmar::standin
