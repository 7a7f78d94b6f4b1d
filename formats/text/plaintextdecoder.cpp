#include "formats/text/plaintextdecoder.h"

#include "formats/text/windows1252.h"

#include <algorithm>

namespace formats::text {

PlainTextDecoder::PlainTextDecoder(std::size_t capacity)
    : capacity_(capacity)
{
    text_.reserve(std::min<std::size_t>(capacity, 1 << 16));
}

bool PlainTextDecoder::feed(std::string_view piece)
{
    for (char c : piece) {
        if (full())
            return false;
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n' && afterCr_) {
            afterCr_ = false;
            continue;
        }
        afterCr_ = byte == '\r';
        text_.push_back(byte == '\r' || byte == '\n' ? u'\n' : areaCharacter(byte));
    }
    return !full();
}

} // namespace formats::text
