#pragma once

// Internal to the stand-in framework's loaders: what every loader does with the files it reads.
// They reach the kernel only through its flat interface: what they read goes into a data load,
// which the kernel loads as a whole.

#include "loaders/ZoneValues.h"

#include "host/DataLoad.h"
#include "host/DataLoadOption.h"

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace qelmar::standin {

// Sets the reason QelUtilGetLastErrorMessage gives; an empty one clears it.
void setLoadFailure(const std::string& message);

// Throws std::runtime_error with the kernel's reason when a kernel call of the load failed.
void requireAccepted(bool accepted);

// Hands one zone through all of its time steps to the load as a file of its own. Each
// variable's values are freed once the kernel holds them, so that a large file is not held twice
// for long. Throws std::runtime_error with the kernel's reason when the kernel refuses them.
void handOver(qelmar::sdk::DataLoad& load, FileZone zone);

// Thrown when the host cancels a load (host/KernelDataLoadProgress.h). Not a std::exception, so
// that a reader's own handlers let it pass on its way to fillAndLoad.
struct LoadCancelled {};

// For readers of large files, every few megabytes: the bytes of the current file read so far.
// Throws LoadCancelled when the host cancelled; does nothing outside a load of several files.
void reportBytesRead(long long bytesOfFile);

// Runs `fill`, which puts what it read into the load and throws with a message for the user,
// then loads it. A failure loads nothing and becomes the kernel's last error; running out of
// memory becomes a message that says so, since "std::bad_alloc" tells a user nothing. A cancel
// loads nothing and is no error.
template <typename Fill> bool fillAndLoad(Fill fill, qelmar::dataload::DataLoadOption option) {
    try {
        qelmar::sdk::DataLoad load;
        requireAccepted(!load.isNull());
        fill(load);
        return load.apply(option);
    } catch (const LoadCancelled&) {
        setLoadFailure({});
    } catch (const std::bad_alloc&) {
        setLoadFailure(
            "The data is too large to load: it needs more memory than is free. Nothing was loaded.");
    } catch (const std::exception& failure) {
        setLoadFailure(failure.what());
    }
    return false;
}

namespace detail {

// Throws LoadCancelled for a kernel call that answered false without a reason, as a cancelled
// one does, and std::runtime_error with the reason otherwise.
void requireNotCancelled(bool goOn);

// The kernel's answer to a file that could not be read: returns to go on with the next file,
// throws to stop the load (LoadCancelled, or the reader's failure).
void skipOrStop(qelmar::sdk::DataLoad& load, const std::string& reason);

// Lets readers deep inside a file report their bytes to the load of the file being read.
class ReadingFileScope {
public:
    explicit ReadingFileScope(qelmar::sdk::DataLoad& load);
    ~ReadingFileScope();
    ReadingFileScope(const ReadingFileScope&) = delete;
    ReadingFileScope& operator=(const ReadingFileScope&) = delete;

private:
    qelmar::sdk::DataLoad* m_previous;
};

} // namespace detail

// Reads every file with `readInto`, which puts what it read of one file (one zone or several,
// with their time steps) into the load and throws with a message for the user, then loads them
// together. The host follows the progress file by file and may cancel before any file is opened;
// a file that cannot be read is left out when the host says so, else the whole load fails.
template <typename ReadInto>
bool readIntoAndLoad(const std::vector<std::string>& files, ReadInto readInto,
                     qelmar::dataload::DataLoadOption option) {
    return fillAndLoad(
        [&](qelmar::sdk::DataLoad& load) {
            detail::requireNotCancelled(load.beginReading(files));
            for (std::size_t index = 0; index < files.size(); ++index) {
                const std::string& file = files[index];
                detail::requireNotCancelled(load.beginReadingFile(index));
                const detail::ReadingFileScope reading(load);
                try {
                    readInto(file, load);
                } catch (const std::bad_alloc&) {
                    detail::skipOrStop(
                        load, file + " is too large to load: its values need more memory than is free.");
                } catch (const std::exception& failure) {
                    detail::skipOrStop(load, failure.what());
                }
            }
        },
        option);
}

// For readers that give one file's values (its first and only time step).
template <typename Read>
bool readAndLoad(const std::vector<std::string>& files, Read read, qelmar::dataload::DataLoadOption option) {
    return readIntoAndLoad(
        files,
        [&read](const std::string& file, qelmar::sdk::DataLoad& load) {
            FileZone zone;
            zone.path = file;
            zone.values = read(file);
            handOver(load, std::move(zone));
        },
        option);
}

// For readers that give a whole file: its path, first time step and later ones.
template <typename ReadFile>
bool readFilesAndLoad(const std::vector<std::string>& files, ReadFile read,
                      qelmar::dataload::DataLoadOption option) {
    return readIntoAndLoad(
        files, [&read](const std::string& file, qelmar::sdk::DataLoad& load) { handOver(load, read(file)); },
        option);
}

// A cancelled options dialog loads nothing and is no error.
inline bool cancelledLoad() {
    setLoadFailure({});
    return false;
}

} // namespace qelmar::standin
