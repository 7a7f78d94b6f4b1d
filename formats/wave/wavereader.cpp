#include "formats/wave/wavereader.h"

#include "formats/bytes/littleendian.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace formats::wave {

namespace {

using formats::bytes::le16;
using formats::bytes::le32;

constexpr std::uint16_t formatPcm = 1;
constexpr std::uint16_t formatExtensible = 0xFFFE;
// The PCM sub-format of an extensible format chunk: {00000001-0000-0010-8000-00aa00389b71}.
constexpr std::array<std::uint8_t, 16> pcmSubFormat = {
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool tagIs(std::span<const std::uint8_t> b, std::size_t at, const char (&tag)[5])
{
    return std::memcmp(b.data() + at, tag, 4) == 0;
}

std::string tagText(std::span<const std::uint8_t> b, std::size_t at)
{
    std::string s;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint8_t c = b[at + i];
        s += c >= 0x20 && c < 0x7F ? char(c) : '?';
    }
    return s;
}

Error error(Error::Kind kind, std::size_t offset, std::string message)
{
    return {kind, offset, std::move(message)};
}

std::string n(std::uint64_t v)
{
    return std::to_string(v);
}

// The "fmt " chunk's contents, starting at `at` and `size` bytes long.
std::variant<Format, Error> readFormat(std::span<const std::uint8_t> b, std::size_t at,
                                       std::uint32_t size)
{
    if (size < 16)
        return error(Error::Kind::BadChunk, at,
                     "format chunk of " + n(size) + " bytes, needs at least 16");
    std::uint16_t tag = le16(b, at);
    if (tag == formatExtensible) {
        if (size < 40)
            return error(Error::Kind::BadChunk, at,
                         "extensible format chunk of " + n(size) + " bytes, needs 40");
        if (!std::equal(pcmSubFormat.begin(), pcmSubFormat.end(), b.begin() + at + 24))
            return error(Error::Kind::UnsupportedFormat, at + 24,
                         "extensible format with a sub-format other than PCM");
        tag = formatPcm;
    }
    if (tag != formatPcm)
        return error(Error::Kind::UnsupportedFormat, at,
                     "format tag " + n(tag) + ", only PCM (1) is played");
    Format f;
    f.channels = le16(b, at + 2);
    f.sampleRate = le32(b, at + 4);
    const std::uint32_t byteRate = le32(b, at + 8);
    const std::uint16_t blockAlign = le16(b, at + 12);
    f.bitsPerSample = le16(b, at + 14);
    if (f.channels != 1 && f.channels != 2)
        return error(Error::Kind::UnsupportedFormat, at + 2,
                     n(f.channels) + " channels, only 1 or 2 are played");
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16)
        return error(Error::Kind::UnsupportedFormat, at + 14,
                     n(f.bitsPerSample) + " bits per sample, only 8 or 16 are played");
    if (f.sampleRate < minSampleRate || f.sampleRate > maxSampleRate)
        return error(Error::Kind::UnsupportedFormat, at + 4,
                     "sample rate " + n(f.sampleRate) + ", only " + n(minSampleRate) + " to " +
                         n(maxSampleRate) + " are played");
    if (blockAlign != f.blockAlign())
        return error(Error::Kind::BadChunk, at + 12,
                     "block alignment " + n(blockAlign) + ", expected " + n(f.blockAlign()));
    if (byteRate != f.sampleRate * blockAlign)
        return error(Error::Kind::BadChunk, at + 8,
                     "byte rate " + n(byteRate) + ", expected " + n(f.sampleRate * blockAlign));
    return f;
}

} // namespace

std::variant<Wave, Error> readWave(std::span<const std::uint8_t> b)
{
    if (b.size() < 12)
        return error(Error::Kind::Truncated, b.size(),
                     "file of " + n(b.size()) + " bytes, a RIFF header needs 12");
    if (!tagIs(b, 0, "RIFF"))
        return error(Error::Kind::NotRiff, 0, "starts with \"" + tagText(b, 0) + "\", not RIFF");
    if (!tagIs(b, 8, "WAVE"))
        return error(Error::Kind::NotWave, 8, "RIFF form \"" + tagText(b, 8) + "\", not WAVE");
    const std::uint64_t riffSize = le32(b, 4);
    const auto riffTruncated = [&] {
        return error(Error::Kind::Truncated, 4,
                     "RIFF chunk of " + n(riffSize) + " bytes, " + n(b.size() - 8) + " present");
    };
    // Writers that leave out the last chunk's pad byte may still count it in the RIFF size;
    // whether the missing byte is that pad is known only once the chunks have been walked.
    const bool padMayBeMissing = 8 + riffSize == b.size() + 1;
    if (riffSize < 4 || (8 + riffSize > b.size() && !padMayBeMissing))
        return riffTruncated();
    // Bytes after the RIFF chunk are not part of the file.
    const std::size_t end = std::size_t(std::min<std::uint64_t>(8 + riffSize, b.size()));

    std::optional<Format> format;
    std::optional<Wave> data;
    // Every chunk takes at least its 8-byte header, so the walk ends after end / 8 steps.
    std::size_t at = 12;
    for (std::size_t guard = 0; at < end && guard <= end / 8; ++guard) {
        if (end - at < 8)
            return error(Error::Kind::Truncated, at,
                         "chunk header needs 8 bytes, " + n(end - at) + " left");
        const std::uint32_t size = le32(b, at + 4);
        const std::size_t body = at + 8;
        // With the RIFF size one beyond the file, a chunk running past its end shows that the
        // file, not the chunk, was cut short.
        if (size > end - body && padMayBeMissing)
            return riffTruncated();
        if (size > end - body)
            return error(Error::Kind::Truncated, at + 4,
                         "chunk \"" + tagText(b, at) + "\" of " + n(size) + " bytes, " +
                             n(end - body) + " left");
        if (tagIs(b, at, "fmt ") && !format) {
            auto f = readFormat(b, body, size);
            if (auto* e = std::get_if<Error>(&f))
                return *e;
            format = std::get<Format>(f);
        } else if (tagIs(b, at, "data") && !data) {
            data = Wave{{}, b.subspan(body, size), body};
        }
        // An odd-sized chunk is followed by a pad byte, which the last chunk may lack.
        at = body + size + (size & 1u);
    }
    // Only an odd-sized last chunk ending exactly at the file's end lacks just its pad.
    if (padMayBeMissing && at != end + 1)
        return riffTruncated();
    if (!format)
        return error(Error::Kind::MissingFormat, end, "no format chunk");
    if (!data)
        return error(Error::Kind::MissingData, end, "no data chunk");
    data->format = *format;
    const std::size_t frame = format->blockAlign();
    data->samples = data->samples.first(data->samples.size() / frame * frame);
    return *data;
}

} // namespace formats::wave
