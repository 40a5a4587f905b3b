#include "model/reserved_array.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <new>

namespace kenvo {

namespace {
std::size_t pageSize() {
    static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}
}  // namespace

ReservedBytes::ReservedBytes(std::size_t bytes) : size_(bytes) {
    if (bytes == 0) return;
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                   -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    data_ = p;
}

ReservedBytes::~ReservedBytes() {
    if (data_) munmap(data_, size_);
}

void ReservedBytes::release(std::size_t offset, std::size_t bytes) noexcept {
    if (!data_ || offset >= size_) return;
    if (bytes > size_ - offset) bytes = size_ - offset;
    auto* base = static_cast<unsigned char*>(data_);
    const std::size_t page = pageSize();
    std::size_t first = (offset + page - 1) / page * page;
    std::size_t last = (offset + bytes) / page * page;
    if (first >= last) {
        std::memset(base + offset, 0, bytes);
        return;
    }
    std::memset(base + offset, 0, first - offset);
    std::memset(base + last, 0, offset + bytes - last);
    // Anonymous private pages read back as zeros after MADV_DONTNEED.
    if (madvise(base + first, last - first, MADV_DONTNEED) != 0)
        std::memset(base + first, 0, last - first);
}

}  // namespace kenvo
