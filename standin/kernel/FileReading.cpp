#include "kernel/FileReading.h"

#include "kernel/LastError.h"

#include <new>

namespace qelmar::standin {

namespace {

std::string messageOf(const std::string& path, const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::runtime_error& error) {
        return error.what(); // the readers' own messages name the file already
    } catch (const std::bad_alloc&) {
        return "Cannot read " + path + ": there is not enough memory for it.";
    } catch (const std::exception& error) {
        return "Cannot read " + path + ": " + error.what();
    } catch (...) {
        return "Cannot read " + path + ": it is damaged.";
    }
}

} // namespace

std::runtime_error readFailure(const std::string& path, const std::exception_ptr& failure) {
    std::string message = messageOf(path, failure);
    setLastErrorMessage(message);
    return std::runtime_error(message);
}

void readSucceeded() {
    clearLastErrorMessage();
}

} // namespace qelmar::standin
