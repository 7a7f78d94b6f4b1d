#pragma once

// Little-endian integers in byte buffers, as every format we read and write stores them.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace formats::bytes {

// Reads at `at`; the caller has made sure the bytes are there.
inline std::uint16_t le16(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::uint16_t(b[at] | b[at + 1] << 8);
}

inline std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::uint32_t(le16(b, at)) | std::uint32_t(le16(b, at + 2)) << 16;
}

inline std::uint64_t le64(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::uint64_t(le32(b, at)) | std::uint64_t(le32(b, at + 4)) << 32;
}

// Writes in place.
inline void storeLe16(std::uint8_t* at, std::uint32_t v)
{
    at[0] = std::uint8_t(v);
    at[1] = std::uint8_t(v >> 8);
}

inline void storeLe32(std::uint8_t* at, std::uint32_t v)
{
    storeLe16(at, v & 0xFFFF);
    storeLe16(at + 2, v >> 16);
}

inline void storeLe64(std::uint8_t* at, std::uint64_t v)
{
    storeLe32(at, std::uint32_t(v));
    storeLe32(at + 4, std::uint32_t(v >> 32));
}

// Appends at the end.
inline void appendLe16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

inline void appendLe32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    appendLe16(out, v & 0xFFFF);
    appendLe16(out, v >> 16);
}

} // namespace formats::bytes
