#include "loaders/IsolatedChild.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qelmar::standin {

namespace {

// The bytes mapped now, from /proc (no allocation: the child may call this after fork).
std::size_t mappedBytes() {
    const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[64] = {};
    const ssize_t got = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    std::size_t pages = 0;
    for (ssize_t at = 0; at < got && text[at] >= '0' && text[at] <= '9'; ++at)
        pages = pages * 10 + static_cast<std::size_t>(text[at] - '0');
    return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

void limitMemory(std::size_t extra) {
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer reserves terabytes of shadow memory up front: an address-space limit would
    // make every allocation fail, so sanitizer builds run the child without one.
    (void)extra;
#else
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = mappedBytes() + extra;
    ::setrlimit(RLIMIT_AS, &limit);
#endif
}

[[noreturn]] void runChild(int fd, const std::function<void(ChildPipe&)>& body, const ChildLimits& limits) {
    // A parent that gave up closes its end; the write then fails instead of killing us silently.
    std::signal(SIGPIPE, SIG_IGN);
    limitMemory(limits.memory);
    ChildPipe pipe(fd);
    try {
        body(pipe);
    } catch (...) {
        // The body reports its own failures through the pipe; anything else is a crash.
        ::_exit(2);
    }
    ::close(fd);
    ::_exit(0);
}

} // namespace

void ChildPipe::write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(m_fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            ::_exit(3);
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

IsolatedChild::IsolatedChild(const std::function<void(ChildPipe&)>& body, const ChildLimits& limits)
    : m_deadline(std::chrono::steady_clock::now() + limits.time) {
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("cannot start a reader process: ") + std::strerror(errno));
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        throw std::runtime_error(std::string("cannot start a reader process: ") + std::strerror(errno));
    }
    if (pid == 0) {
        ::close(ends[0]);
        runChild(ends[1], body, limits);
    }
    ::close(ends[1]);
    m_fd = ends[0];
    m_pid = pid;
}

IsolatedChild::~IsolatedChild() {
    finish();
}

bool IsolatedChild::read(void* data, std::size_t size) {
    char* bytes = static_cast<char*>(data);
    while (size > 0 && m_fd >= 0 && !m_timedOut) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            m_deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            m_timedOut = true;
            break;
        }
        pollfd wait{m_fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        const ssize_t got = ::read(m_fd, bytes, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    if (size > 0)
        kill();
    return size == 0;
}

void IsolatedChild::kill() {
    // Closing our end first frees a child blocked writing to us: its next write fails and it ends.
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_pid < 0)
        return;
    int status = 0;
    // A child that is done is reaped as it is; one still running past a short grace is killed.
    pid_t reaped = 0;
    if (!m_timedOut) {
        for (int attempt = 0; attempt < 200 && reaped == 0; ++attempt) {
            reaped = ::waitpid(m_pid, &status, WNOHANG);
            if (reaped == 0)
                ::usleep(10000);
        }
    }
    if (reaped == 0) {
        ::kill(m_pid, SIGKILL);
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (m_timedOut)
        m_end = ChildEnd::TimedOut;
    else if (reaped == 0 || WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) != 0))
        m_end = ChildEnd::Crashed;
    else
        m_end = ChildEnd::Exited;
    m_pid = -1;
}

ChildEnd IsolatedChild::finish() {
    kill();
    return m_end;
}

} // namespace qelmar::standin
