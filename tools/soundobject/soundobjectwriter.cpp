#include "tools/soundobject/soundobjectwriter.h"

#include "formats/bytes/littleendian.h"
#include "formats/compound/compoundwriter.h"
#include "tools/soundobject/composition.h"

#include <string_view>

namespace soundobject {

namespace {

using formats::bytes::appendLe16;
using formats::bytes::appendLe32;
using formats::bytes::le32;

using Bytes = std::vector<std::uint8_t>;

void putText(Bytes& out, std::string_view text)
{
    out.insert(out.end(), text.begin(), text.end());
}

// A length-prefixed ANSI string; the length counts the terminator.
void putLengthString(Bytes& out, std::string_view text)
{
    appendLe32(out, std::uint32_t(text.size() + 1));
    putText(out, text);
    out.push_back(0);
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
    appendLe32(out, 0x02000001); // version
    appendLe32(out, 0);          // embedded, not linked
    appendLe32(out, 0);          // link update option
    appendLe32(out, 0);          // reserved
    appendLe32(out, 0);          // no moniker
    return out;
}

Bytes compObjStream()
{
    Bytes out;
    appendLe32(out, 0xFFFE0001); // reserved
    appendLe32(out, 0x00000A03); // version
    appendLe32(out, 0xFFFFFFFF);
    out.insert(out.end(), soundClassId.begin(), soundClassId.end());
    putLengthString(out, "Wavesound");
    appendLe32(out, 0); // no clipboard format
    putLengthString(out, "SoundRec");
    appendLe32(out, 0x71B239F4); // Unicode strings follow
    for (int i = 0; i < 3; ++i)
        appendLe32(out, 0); // empty
    return out;
}

Bytes presentationStream(std::span<const std::uint8_t> metafile)
{
    Bytes out;
    appendLe32(out, 0xFFFFFFFF);     // a clipboard format number follows
    appendLe32(out, 3);              // metafile picture
    appendLe32(out, 4);              // target device: only its own size, so none
    appendLe32(out, drawAspect);     // content
    appendLe32(out, 0xFFFFFFFF);     // lindex -1
    appendLe32(out, 2);              // prime first
    appendLe32(out, 0);              // reserved
    appendLe32(out, layout::extent); // width, 0.01 mm
    appendLe32(out, layout::extent); // height
    appendLe32(out, std::uint32_t(metafile.size()));
    out.insert(out.end(), metafile.begin(), metafile.end());
    putText(out, "NANI"); // an empty table of contents
    appendLe32(out, 0);
    return out;
}

namespace {

void appendWave(Bytes& out, std::span<const std::int16_t> samples)
{
    const std::uint32_t dataSize = std::uint32_t(samples.size() * 2);
    out.reserve(out.size() + 58 + dataSize);
    putText(out, "RIFF");
    appendLe32(out, 4 + 26 + 12 + 8 + dataSize);
    putText(out, "WAVE");
    putText(out, "fmt ");
    appendLe32(out, 18);
    appendLe16(out, 1); // PCM
    appendLe16(out, 1); // mono
    appendLe32(out, sampleRate);
    appendLe32(out, sampleRate * 2);
    appendLe16(out, 2);  // block align
    appendLe16(out, 16); // bits per sample
    appendLe16(out, 0);  // no extra bytes
    putText(out, "fact");
    appendLe32(out, 4);
    appendLe32(out, std::uint32_t(samples.size()));
    putText(out, "data");
    appendLe32(out, dataSize);
    for (std::int16_t s : samples)
        appendLe16(out, std::uint16_t(s));
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
    appendLe32(out, 58 + std::uint32_t(samples.size() * 2)); // the wave file's size
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
    appendLe32(out, drawAspect);
    appendLe32(out, std::uint32_t(document.size()));
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
        expect(faults, "the cached metafile", le32(streams.presentation, 36), layout::metafileSize);
    expect(faults, "the \\1Ole10Native stream", streams.native.size(), layout::nativeSize);
    if (streams.native.size() >= 4)
        expect(faults, "the wave file", le32(streams.native, 0), layout::waveSize);
    if (value.size() >= layout::headerSize)
        expect(faults, "the compound document", value.size() - layout::headerSize,
               layout::documentSize);
    expect(faults, "the stored value", value.size(), layout::valueSize);
    return faults;
}

} // namespace soundobject
