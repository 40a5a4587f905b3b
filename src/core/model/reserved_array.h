#pragma once

#include <cstddef>
#include <type_traits>

namespace kenvo {

// A fixed-size array of trivially copyable elements reserved once as an anonymous mapping.
// Pages are only backed by memory when first written, and release() hands them back to the
// kernel (they read as zeros afterwards), so resident memory follows the data actually used
// rather than the hundreds of megabytes a full data set reserves.
class ReservedBytes {
public:
    explicit ReservedBytes(std::size_t bytes);
    ~ReservedBytes();
    ReservedBytes(const ReservedBytes&) = delete;
    ReservedBytes& operator=(const ReservedBytes&) = delete;

    void* data() const { return data_; }
    std::size_t size() const { return size_; }

    // Zeroes [offset, offset + bytes): whole pages are returned to the kernel, the partial
    // pages at either end are cleared by hand.
    void release(std::size_t offset, std::size_t bytes) noexcept;

private:
    void* data_ = nullptr;
    std::size_t size_ = 0;
};

template <typename T>
class ReservedArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    explicit ReservedArray(std::size_t count) : bytes_(count * sizeof(T)), count_(count) {}

    T* data() const { return static_cast<T*>(bytes_.data()); }
    std::size_t size() const { return count_; }
    T& operator[](std::size_t i) const { return data()[i]; }

    void clear(std::size_t first, std::size_t count) noexcept {
        bytes_.release(first * sizeof(T), count * sizeof(T));
    }
    void clearAll() noexcept { clear(0, count_); }

private:
    ReservedBytes bytes_;
    std::size_t count_;
};

}  // namespace kenvo
