#include "forms/mappedbuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <new>
#include <utility>

// Older C libraries lack the names; the kernel ignores what it does not know (EINVAL), and the
// pages are then made on first touch as usual.
#ifndef MADV_POPULATE_READ
#define MADV_POPULATE_READ 22
#endif
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace forms {

namespace {

// The pages holding `bytes`, page-aligned as madvise() wants them.
std::pair<void*, std::size_t> pagesOf(const void* p, std::size_t size)
{
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const auto begin = std::uintptr_t(p) & ~(page - 1);
    const auto end = (std::uintptr_t(p) + size + page - 1) & ~(page - 1);
    return {reinterpret_cast<void*>(begin), end - begin};
}

} // namespace

MappedBuffer MappedBuffer::copyOf(std::span<const std::uint8_t> bytes)
{
    MappedBuffer buffer;
    if (bytes.empty())
        return buffer;
    void* p =
        mmap(nullptr, bytes.size(), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    buffer.data_ = static_cast<std::uint8_t*>(p);
    buffer.size_ = bytes.size();
    madvise(p, bytes.size(), MADV_HUGEPAGE);
    madvise(p, bytes.size(), MADV_POPULATE_WRITE);
    // The source is often a file mapping (bytes linked into the program): map its pages in one
    // call as well. A hint only; it changes nothing the source's owner sees.
    const auto [source, sourceSize] = pagesOf(bytes.data(), bytes.size());
    madvise(source, sourceSize, MADV_POPULATE_READ);
    std::memcpy(p, bytes.data(), bytes.size());
    return buffer;
}

MappedBuffer::~MappedBuffer()
{
    release();
}

MappedBuffer::MappedBuffer(MappedBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr))
    , size_(std::exchange(other.size_, 0))
{}

MappedBuffer& MappedBuffer::operator=(MappedBuffer&& other) noexcept
{
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void MappedBuffer::release()
{
    if (data_)
        munmap(data_, size_);
    data_ = nullptr;
    size_ = 0;
}

} // namespace forms
