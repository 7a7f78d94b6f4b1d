#include "tools/soundobject/soundobjectwriter.h"

#include "formats/compound/compoundwriter.h"
#include "tools/soundobject/composition.h"

#include <string_view>

namespace soundobject {

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& out, std::uint32_t v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void put32(Bytes& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putText(Bytes& out, std::string_view text)
{
    out.insert(out.end(), text.begin(), text.end());
}

// A length-prefixed ANSI string; the length counts the terminator.
void putLengthString(Bytes& out, std::string_view text)
{
    put32(out, std::uint32_t(text.size() + 1));
    putText(out, text);
    out.push_back(0);
}

std::uint32_t field32(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16) | std::uint32_t(b[at + 3]) << 24;
}

void expect(std::vector<std::string>& faults, const char* what, std::size_t actual,
            std::size_t wanted)
{
    if (actual != wanted)
        faults.push_back(std::string(what) + " is " + std::to_string(actual) +
                         " bytes, the layout demands " + std::to_string(wanted));
}

} // namespace

Bytes oleStream()
{
    Bytes out;
    put32(out, 0x02000001); // version
    put32(out, 0);          // embedded, not linked
    put32(out, 0);          // link update option
    put32(out, 0);          // reserved
    put32(out, 0);          // no moniker
    return out;
}

Bytes compObjStream()
{
    Bytes out;
    put32(out, 0xFFFE0001); // reserved
    put32(out, 0x00000A03); // version
    put32(out, 0xFFFFFFFF);
    out.insert(out.end(), soundClassId.begin(), soundClassId.end());
    putLengthString(out, "Wavesound");
    put32(out, 0); // no clipboard format
    putLengthString(out, "SoundRec");
    put32(out, 0x71B239F4); // Unicode strings follow
    for (int i = 0; i < 3; ++i)
        put32(out, 0); // empty
    return out;
}

Bytes presentationStream(std::span<const std::uint8_t> metafile)
{
    Bytes out;
    put32(out, 0xFFFFFFFF);     // a clipboard format number follows
    put32(out, 3);              // metafile picture
    put32(out, 4);              // target device: only its own size, so none
    put32(out, drawAspect);     // content
    put32(out, 0xFFFFFFFF);     // lindex -1
    put32(out, 2);              // prime first
    put32(out, 0);              // reserved
    put32(out, layout::extent); // width, 0.01 mm
    put32(out, layout::extent); // height
    put32(out, std::uint32_t(metafile.size()));
    out.insert(out.end(), metafile.begin(), metafile.end());
    putText(out, "NANI"); // an empty table of contents
    put32(out, 0);
    return out;
}

namespace {

void appendWave(Bytes& out, std::span<const std::int16_t> samples)
{
    const std::uint32_t dataSize = std::uint32_t(samples.size() * 2);
    out.reserve(out.size() + 58 + dataSize);
    putText(out, "RIFF");
    put32(out, 4 + 26 + 12 + 8 + dataSize);
    putText(out, "WAVE");
    putText(out, "fmt ");
    put32(out, 18);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, sampleRate);
    put32(out, sampleRate * 2);
    put16(out, 2);  // block align
    put16(out, 16); // bits per sample
    put16(out, 0);  // no extra bytes
    putText(out, "fact");
    put32(out, 4);
    put32(out, std::uint32_t(samples.size()));
    putText(out, "data");
    put32(out, dataSize);
    for (std::int16_t s : samples)
        put16(out, std::uint16_t(s));
    // An odd size would need a pad byte; 16-bit samples never make one.
}

} // namespace

Bytes waveFile(std::span<const std::int16_t> samples)
{
    Bytes out;
    appendWave(out, samples);
    return out;
}

Bytes nativeStream(std::span<const std::int16_t> samples)
{
    Bytes out;
    put32(out, 58 + std::uint32_t(samples.size() * 2)); // the wave file's size
    appendWave(out, samples);
    return out;
}

Streams makeStreams(std::span<const std::int16_t> samples, const formats::metafile::Bitmap& picture)
{
    return Streams{oleStream(), compObjStream(),
                   presentationStream(formats::metafile::writePictureMetafile(
                       picture, layout::extent, layout::extent)),
                   nativeStream(samples)};
}

Bytes storedValue(const Streams& streams)
{
    const formats::compound::StreamData data[] = {
        {std::u16string(oleName), streams.ole},
        {std::u16string(compObjName), streams.compObj},
        {std::u16string(presentationName), streams.presentation},
        {std::u16string(nativeName), streams.native},
    };
    const Bytes document = formats::compound::writeCompoundFile(soundClassId, data);
    Bytes out;
    out.reserve(layout::headerSize + document.size());
    putText(out, "BDOC");
    put32(out, drawAspect);
    put32(out, std::uint32_t(document.size()));
    out.insert(out.end(), document.begin(), document.end());
    return out;
}

std::vector<std::string> layoutFaults(const Streams& streams, std::span<const std::uint8_t> value)
{
    std::vector<std::string> faults;
    expect(faults, "the \\1Ole stream", streams.ole.size(), layout::oleSize);
    expect(faults, "the \\1CompObj stream", streams.compObj.size(), layout::compObjSize);
    expect(faults, "the \\2OlePres000 stream", streams.presentation.size(),
           layout::presentationSize);
    if (streams.presentation.size() >= layout::presentationHeaderSize)
        expect(faults, "the cached metafile", field32(streams.presentation, 36),
               layout::metafileSize);
    expect(faults, "the \\1Ole10Native stream", streams.native.size(), layout::nativeSize);
    if (streams.native.size() >= 4)
        expect(faults, "the wave file", field32(streams.native, 0), layout::waveSize);
    if (value.size() >= layout::headerSize)
        expect(faults, "the compound document", value.size() - layout::headerSize,
               layout::documentSize);
    expect(faults, "the stored value", value.size(), layout::valueSize);
    return faults;
}

} // namespace soundobject
