#pragma once

#include <utility>

namespace qelmar::sdk {

// Owns one handle the kernel allocated and frees it with the kernel's deallocator (which takes
// the handle's address) on every way out of a scope. The owners of kernel strings and data
// loads, and any new kind of kernel handle, are built on this one class.
template <typename Handle, void (*Free)(Handle**)> class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(Handle* adopted) noexcept
        : m_handle(adopted) {}
    KernelHandle(KernelHandle&& other) noexcept
        : m_handle(other.release()) {}
    KernelHandle& operator=(KernelHandle&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = other.release();
        }
        return *this;
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    ~KernelHandle() { reset(); }

    Handle* get() const noexcept { return m_handle; }
    bool isNull() const noexcept { return m_handle == nullptr; }

    // For a kernel call that hands out a new handle through an out-parameter: frees the one
    // held before.
    Handle** address() noexcept {
        reset();
        return &m_handle;
    }

    // Gives up ownership; the caller frees the handle with the kernel.
    Handle* release() noexcept { return std::exchange(m_handle, nullptr); }

    void reset() noexcept {
        if (m_handle)
            Free(&m_handle);
        m_handle = nullptr;
    }

private:
    Handle* m_handle = nullptr;
};

} // namespace qelmar::sdk
