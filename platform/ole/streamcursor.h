#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace platform::ole {

// Reads little-endian fields from one of an object's streams, front to back. Every read is
// checked against the stream's end; one that does not fit throws OleError (codes::DocfileCorrupt)
// naming the stream, the field, its offset and the stream's size.
class StreamCursor {
public:
    StreamCursor(std::string streamName, std::span<const std::uint8_t> bytes);

    std::size_t offset() const { return offset_; }
    std::size_t remaining() const { return bytes_.size() - offset_; }
    std::size_t size() const { return bytes_.size(); }

    std::uint32_t u32(const char* field);
    std::span<const std::uint8_t> take(std::size_t count, const char* field);
    void skip(std::size_t count, const char* field) { take(count, field); }
    // Looks at a 32-bit value `ahead` bytes on without moving; nothing past the end.
    bool peekU32(std::size_t ahead, std::uint32_t& value) const;

    // A fault in the stream at `at`: throws OleError (codes::DocfileCorrupt).
    [[noreturn]] void fail(std::size_t at, const std::string& what) const;
    [[noreturn]] void fail(const std::string& what) const { fail(offset_, what); }

private:
    std::string name_;
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

} // namespace platform::ole
