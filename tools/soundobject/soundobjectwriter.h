#pragma once

#include "formats/compound/compoundfile.h"
#include "formats/metafile/metafileplayer.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace soundobject {

// The sizes the stored value's layout demands; every field that holds a size says one of these.
namespace layout {
inline constexpr std::size_t headerSize = 12;
inline constexpr std::size_t oleSize = 20;
inline constexpr std::size_t compObjSize = 75;
inline constexpr std::size_t presentationHeaderSize = 40;
inline constexpr std::size_t metafileSize = 3208;
inline constexpr std::size_t presentationSize = 3256;
inline constexpr std::size_t waveSize = 15022808;
inline constexpr std::size_t nativeSize = 15022812;
inline constexpr std::size_t documentSize = 15148032;
inline constexpr std::size_t valueSize = 15148044;
inline constexpr std::int32_t extent = 846; // 32 pixels at 96 per inch, in 0.01 mm
} // namespace layout

// {0003000D-0000-0000-C000-000000000046}, as stored.
inline constexpr formats::compound::ClassId soundClassId = {
    0x0D, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
inline constexpr std::uint32_t drawAspect = 1;

inline constexpr std::u16string_view oleName = u"\x01Ole";
inline constexpr std::u16string_view compObjName = u"\x01"
                                                   u"CompObj";
inline constexpr std::u16string_view presentationName = u"\x02OlePres000";
inline constexpr std::u16string_view nativeName = u"\x01Ole10Native";

struct Streams {
    std::vector<std::uint8_t> ole;
    std::vector<std::uint8_t> compObj;
    std::vector<std::uint8_t> presentation;
    std::vector<std::uint8_t> native;
};

std::vector<std::uint8_t> oleStream();
std::vector<std::uint8_t> compObjStream();
// The cached picture: the 40-byte header, the metafile, and an empty table of contents right
// after it (no reserved field in between).
std::vector<std::uint8_t> presentationStream(std::span<const std::uint8_t> metafile);
// A RIFF WAVE file of 16-bit mono samples at 44.1 kHz, with an 18-byte format chunk and a fact
// chunk.
std::vector<std::uint8_t> waveFile(std::span<const std::int16_t> samples);
// The wave file behind its byte count.
std::vector<std::uint8_t> nativeStream(std::span<const std::int16_t> samples);

Streams makeStreams(std::span<const std::int16_t> samples,
                    const formats::metafile::Bitmap& picture);

// The stored value: "BDOC", the draw aspect, the document's size, and the compound document that
// holds the four streams.
std::vector<std::uint8_t> storedValue(const Streams& streams);

// Every size that is not what the layout demands, one line each; empty when all agree.
std::vector<std::string> layoutFaults(const Streams& streams, std::span<const std::uint8_t> value);

} // namespace soundobject
