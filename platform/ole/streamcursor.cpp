#include "platform/ole/streamcursor.h"

#include "formats/bytes/littleendian.h"
#include "platform/ole/oleerror.h"

#include <utility>

namespace platform::ole {

StreamCursor::StreamCursor(std::string streamName, std::span<const std::uint8_t> bytes)
    : name_(std::move(streamName))
    , bytes_(bytes)
{}

std::uint32_t StreamCursor::u32(const char* field)
{
    const auto b = take(4, field);
    return formats::bytes::le32(b, 0);
}

std::span<const std::uint8_t> StreamCursor::take(std::size_t count, const char* field)
{
    if (count > remaining())
        fail(std::string(field) + " (" + std::to_string(count) + " Bytes) reicht über das Ende " +
             "des Streams (" + std::to_string(bytes_.size()) + " Bytes)");
    const auto part = bytes_.subspan(offset_, count);
    offset_ += count;
    return part;
}

bool StreamCursor::peekU32(std::size_t ahead, std::uint32_t& value) const
{
    if (ahead > remaining() || remaining() - ahead < 4)
        return false;
    value = formats::bytes::le32(bytes_, offset_ + ahead);
    return true;
}

void StreamCursor::fail(std::size_t at, const std::string& what) const
{
    throw OleError(codes::DocfileCorrupt,
                   name_ + " bei Offset " + std::to_string(at) + ": " + what);
}

} // namespace platform::ole
