#pragma once

// Internal to the stand-in framework's loaders: work that may crash, hang or exhaust memory on a
// damaged file (libraries we cannot fix) runs in a forked child with a time and a memory limit,
// and hands its results back through a pipe. The child runs no Qt and ends with _exit.

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace qelmar::standin {

struct ChildLimits {
    std::chrono::milliseconds time{20000};
    // Bytes the child may map beyond what the process had mapped when it forked.
    std::size_t memory = std::size_t(2) << 30;
};

// The child's end of the pipe. A failed write means the parent stopped listening: the child
// ends at once.
class ChildPipe {
public:
    explicit ChildPipe(int fd)
        : m_fd(fd) {}
    void write(const void* data, std::size_t size);

private:
    int m_fd;
};

// How the child ended, once its output was read.
enum class ChildEnd { Exited, Crashed, TimedOut };

// The parent's side: forks at construction, reads what the child writes, and never leaves it
// running or unreaped.
class IsolatedChild {
public:
    IsolatedChild(const std::function<void(ChildPipe&)>& body, const ChildLimits& limits);
    ~IsolatedChild();
    IsolatedChild(const IsolatedChild&) = delete;
    IsolatedChild& operator=(const IsolatedChild&) = delete;

    // Fills `data` with exactly `size` bytes; false when the child stopped writing first (it
    // ended, crashed, or ran out of time, in which case it is killed).
    bool read(void* data, std::size_t size);
    // Kills the child if it still runs, and says how it ended.
    ChildEnd finish();

private:
    void kill();

    int m_fd = -1;
    int m_pid = -1;
    bool m_timedOut = false;
    std::chrono::steady_clock::time_point m_deadline;
    ChildEnd m_end = ChildEnd::Exited;
};

} // namespace qelmar::standin
