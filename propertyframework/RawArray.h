#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>
#include <new>

namespace qelmar {

// A growable array of plain values that may start on a buffer the caller supplies (usually on
// the stack), so that short arrays never allocate. Whenever the storage moves, the array writes
// the new data pointer into the owner's slot, so an owner that hands the pointer to the kernel
// always holds the current one.
template <typename T> class RawArray {
public:
    explicit RawArray(T** ownerSlot = nullptr)
        : m_ownerSlot(ownerSlot) {
        publishData();
    }

    // The fixed buffer is not owned and never released; it must outlive the array.
    RawArray(T** ownerSlot, T* fixedBuffer, std::size_t capacity)
        : m_ownerSlot(ownerSlot)
        , m_data(fixedBuffer)
        , m_capacity(capacity)
        , m_fixedBuffer(fixedBuffer) {
        publishData();
    }

    template <std::size_t N>
    RawArray(T** ownerSlot, T (&fixedBuffer)[N])
        : RawArray(ownerSlot, fixedBuffer, N) {}

    RawArray(const RawArray&) = delete;
    RawArray& operator=(const RawArray&) = delete;

    ~RawArray() { releaseOwnedStorage(); }

    void push_back(const T& value) {
        if (m_count + 1 > m_capacity) {
            // Grow in blocks of half the capacity, but never by less than 32 elements.
            const std::size_t block = std::max<std::size_t>(m_capacity / 2, 32);
            enlargeCapacity((m_count / block + 1) * block);
        }
        m_data[m_count++] = value;
    }

    void append(const RawArray& other) {
        if (other.m_count == 0)
            return;
        const std::size_t needed = m_count + other.m_count;
        if (needed > m_capacity)
            enlargeCapacity(needed);
        std::copy(other.m_data, other.m_data + other.m_count, m_data + m_count);
        m_count = needed;
    }

    void enlargeCapacity(std::size_t capacity) {
        if (capacity > maxCapacity())
            throw std::bad_array_new_length();
        T* storage = new T[capacity];
        const std::size_t kept = std::min(m_count, capacity);
        std::copy(m_data, m_data + kept, storage);
        releaseOwnedStorage();
        m_data = storage;
        m_count = kept;
        m_capacity = capacity;
        publishData();
    }

    void clear() noexcept { m_count = 0; }

    std::size_t size() const noexcept { return m_count; }
    std::size_t capacity() const noexcept { return m_capacity; }
    bool empty() const noexcept { return m_count == 0; }

    T* data() noexcept { return m_data; }
    const T* data() const noexcept { return m_data; }
    T& operator[](std::size_t index) { return m_data[index]; }
    const T& operator[](std::size_t index) const { return m_data[index]; }
    T* begin() noexcept { return m_data; }
    T* end() noexcept { return m_data + m_count; }
    const T* begin() const noexcept { return m_data; }
    const T* end() const noexcept { return m_data + m_count; }

    static constexpr std::size_t maxCapacity() noexcept {
        return static_cast<std::size_t>(std::numeric_limits<std::ptrdiff_t>::max()) / sizeof(T);
    }

private:
    void releaseOwnedStorage() noexcept {
        if (m_data != m_fixedBuffer)
            delete[] m_data;
    }

    void publishData() noexcept {
        if (m_ownerSlot)
            *m_ownerSlot = m_data;
    }

    T** m_ownerSlot = nullptr;
    T* m_data = nullptr;
    std::size_t m_capacity = 0;
    std::size_t m_count = 0;
    T* m_fixedBuffer = nullptr;
};

} // namespace qelmar
