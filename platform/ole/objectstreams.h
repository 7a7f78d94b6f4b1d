#pragma once

#include "formats/compound/compoundfile.h"
#include "formats/wave/wavereader.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <span>

namespace platform::ole {

class Storage;

// The class of the recording objects this layer serves: {0003000D-0000-0000-C000-000000000046}.
inline constexpr formats::compound::ClassId soundRecClassId{
    0x0D, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// The cached picture of one aspect: a metafile drawn over `extent` (units of 0.01 mm).
struct Presentation {
    std::uint32_t aspect = 0;
    QSize extent;
    std::span<const std::uint8_t> metafile; // in the storage's bytes
};

// What a recording object's streams hold, checked, with views into the storage's bytes.
struct ObjectStreams {
    QString userType;  // the object's kind as people read it, "Wavesound"
    QString programId; // "SoundRec"
    Presentation presentation;
    formats::wave::Wave wave; // the samples in the storage's bytes, not copied
};

// Reads the object kept in `storage`: its class, then "\1Ole", "\1CompObj", "\2OlePres000" and
// "\1Ole10Native". Throws OleError: codes::ClassNotRegistered for another class,
// codes::FileNotFound for a missing stream, codes::DocfileCorrupt for a damaged one (what and at
// which offset in the text) and codes::Fail for an object of a kind this layer does not serve.
ObjectStreams readObjectStreams(Storage& storage);

// The stream names, each beginning with its control character.
inline constexpr std::u16string_view oleStreamName = u"\u0001Ole";
inline constexpr std::u16string_view compObjStreamName = u"\u0001CompObj";
inline constexpr std::u16string_view presentationStreamName = u"\u0002OlePres000";
inline constexpr std::u16string_view nativeStreamName = u"\u0001Ole10Native";

} // namespace platform::ole
