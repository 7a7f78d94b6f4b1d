#pragma once

// A recording object's streams built byte for byte from their published layouts, and a storage
// in memory that holds them.

#include "formats/bytes/littleendian.h"
#include "platform/ole/objectstreams.h"
#include "platform/ole/oleerror.h"
#include "platform/ole/storage.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace oletest {

using formats::bytes::appendLe16;
using formats::bytes::appendLe32;

using Bytes = std::vector<std::uint8_t>;

inline void putText(Bytes& b, const std::string& text)
{
    b.insert(b.end(), text.begin(), text.end());
}

// 16-bit mono samples of a sine tone at 44.1 kHz.
inline Bytes toneSamples(double hz, double seconds, double amplitude = 0.5)
{
    Bytes b;
    const auto frames = std::uint32_t(seconds * 44100);
    for (std::uint32_t i = 0; i < frames; ++i)
        appendLe16(b, std::uint32_t(std::int32_t(std::lround(
                          amplitude * 32767 * std::sin(2 * std::numbers::pi * hz * i / 44100)))));
    return b;
}

// A wave file as the object stores it: "fmt " of 18 bytes, "fact", "data".
inline Bytes waveFile(const Bytes& samples, std::uint16_t channels = 1, std::uint16_t bits = 16)
{
    const std::uint16_t align = std::uint16_t(channels * bits / 8);
    Bytes b;
    putText(b, "RIFF");
    appendLe32(b, std::uint32_t(4 + 26 + 12 + 8 + samples.size()));
    putText(b, "WAVE");
    putText(b, "fmt ");
    appendLe32(b, 18);
    appendLe16(b, 1);
    appendLe16(b, channels);
    appendLe32(b, 44100);
    appendLe32(b, 44100 * align);
    appendLe16(b, align);
    appendLe16(b, bits);
    appendLe16(b, 0);
    putText(b, "fact");
    appendLe32(b, 4);
    appendLe32(b, std::uint32_t(samples.size() / align));
    putText(b, "data");
    appendLe32(b, std::uint32_t(samples.size()));
    b.insert(b.end(), samples.begin(), samples.end());
    return b;
}

inline Bytes oleStream(std::uint32_t version = 0x02000001, std::uint32_t flags = 0)
{
    Bytes b;
    appendLe32(b, version);
    appendLe32(b, flags);
    appendLe32(b, 0); // link-update option
    appendLe32(b, 0); // reserved
    appendLe32(b, 0); // no moniker
    return b;
}

inline void putClassId(Bytes& b)
{
    b.insert(b.end(), platform::ole::soundRecClassId.begin(), platform::ole::soundRecClassId.end());
}

// "\1CompObj" with the given lengths (as stored, so a test can make them lie).
struct CompObjLayout {
    std::uint32_t userTypeLength = 10;
    std::uint32_t programIdLength = 9;
    bool unicodePart = true;
    std::uint32_t unicodeUserTypeLength = 0;
};

inline Bytes compObjStream(const CompObjLayout& layout = {})
{
    Bytes b;
    appendLe32(b, 0xFFFE0001);
    appendLe32(b, 0x00000A03);
    appendLe32(b, 0xFFFFFFFF);
    putClassId(b);
    appendLe32(b, layout.userTypeLength);
    putText(b, std::string("Wavesound\0", 10));
    appendLe32(b, 0); // no clipboard format
    appendLe32(b, layout.programIdLength);
    putText(b, std::string("SoundRec\0", 9));
    if (layout.unicodePart) {
        appendLe32(b, 0x71B239F4);
        appendLe32(b, layout.unicodeUserTypeLength);
        appendLe32(b, 0);
        appendLe32(b, 0);
    }
    return b;
}

// "\2OlePres000" around `metafile`, with the reserved field after it or not.
struct PresentationLayout {
    std::uint32_t format = 3;
    std::uint32_t deviceSize = 4;
    std::optional<std::size_t> deviceBytes{}; // written after the size; its size − 4 if not given
    std::int32_t width = 846;
    std::int32_t height = 846;
    std::int64_t metafileSizeDelta = 0; // added to the true size in the header
    bool trailer = false;               // the 18 reserved bytes before "NANI"
    bool toc = true;
    std::uint32_t tocCount = 0;
};

inline Bytes presentationStream(const Bytes& metafile, const PresentationLayout& layout = {})
{
    Bytes b;
    appendLe32(b, 0xFFFFFFFF);
    appendLe32(b, layout.format);
    appendLe32(b, layout.deviceSize);
    b.insert(b.end(),
             layout.deviceBytes.value_or(layout.deviceSize >= 4 ? layout.deviceSize - 4 : 0), 0);
    appendLe32(b, 1);          // aspect: content
    appendLe32(b, 0xFFFFFFFF); // index -1
    appendLe32(b, 2);          // advise flags: prime first
    appendLe32(b, 0);
    appendLe32(b, std::uint32_t(layout.width));
    appendLe32(b, std::uint32_t(layout.height));
    appendLe32(b, std::uint32_t(std::int64_t(metafile.size()) + layout.metafileSizeDelta));
    b.insert(b.end(), metafile.begin(), metafile.end());
    if (layout.trailer)
        b.insert(b.end(), 18, 0);
    if (layout.toc) {
        putText(b, "NANI");
        appendLe32(b, layout.tocCount);
    }
    return b;
}

// A metafile-like block: the loader takes it by its size and leaves its records to the player.
inline Bytes someMetafile(std::size_t size = 64)
{
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = std::uint8_t(i * 7);
    return b;
}

inline Bytes nativeStream(const Bytes& wave)
{
    Bytes b;
    appendLe32(b, std::uint32_t(wave.size()));
    b.insert(b.end(), wave.begin(), wave.end());
    return b;
}

// A storage held in memory: streams by name and the root's class.
class MemoryStorage : public platform::ole::Storage {
public:
    formats::compound::ClassId classId() const override { return classId_; }
    std::span<const std::uint8_t> stream(std::u16string_view name) override
    {
        auto found = streams.find(std::u16string(name));
        if (found == streams.end())
            throw platform::ole::OleError(platform::ole::codes::FileNotFound, "no such stream");
        return found->second;
    }

    formats::compound::ClassId classId_ = platform::ole::soundRecClassId;
    std::map<std::u16string, Bytes> streams;
};

// A complete, sound object: a short tone and a small picture block.
inline MemoryStorage soundObjectStorage(const Bytes& samples = toneSamples(440, 0.25))
{
    MemoryStorage storage;
    storage.streams[std::u16string(platform::ole::oleStreamName)] = oleStream();
    storage.streams[std::u16string(platform::ole::compObjStreamName)] = compObjStream();
    storage.streams[std::u16string(platform::ole::presentationStreamName)] =
        presentationStream(someMetafile());
    storage.streams[std::u16string(platform::ole::nativeStreamName)] =
        nativeStream(waveFile(samples));
    return storage;
}

} // namespace oletest
