#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace forms {

// Memory for a large value kept whole, such as a stored object: one anonymous mapping, asked for
// in huge pages and with all its pages made up front. Faulting 15 MB in page by page while
// copying costs several times the copy itself.
class MappedBuffer {
public:
    MappedBuffer() = default;
    // A copy of `bytes`. Throws std::bad_alloc when the memory cannot be had.
    static MappedBuffer copyOf(std::span<const std::uint8_t> bytes);

    ~MappedBuffer();
    MappedBuffer(MappedBuffer&& other) noexcept;
    MappedBuffer& operator=(MappedBuffer&& other) noexcept;
    MappedBuffer(const MappedBuffer&) = delete;
    MappedBuffer& operator=(const MappedBuffer&) = delete;

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

private:
    void release();

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace forms
