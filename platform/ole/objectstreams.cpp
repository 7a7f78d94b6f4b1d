#include "platform/ole/objectstreams.h"

#include "formats/text/windows1252.h"
#include "platform/ole/oleerror.h"
#include "platform/ole/storage.h"
#include "platform/ole/streamcursor.h"
#include "platform/ole/streamname.h"

#include <cstdio>
#include <variant>

namespace platform::ole {

namespace {

constexpr std::uint32_t oleVersion = 0x02000001;
constexpr std::uint32_t linkedObjectFlag = 0x00000001;
constexpr std::uint32_t clipboardFormatMarker = 0xFFFFFFFF;
constexpr std::uint32_t clipboardFormatMarkerMac = 0xFFFFFFFE;
constexpr std::uint32_t metafilePictureFormat = 3;
constexpr std::uint32_t unicodeMarker = 0x71B239F4;
constexpr std::uint32_t tocSignature = 0x494E414E; // "NANI"
// A table-of-contents entry is at least this long: format, device size, aspect, index, medium,
// 12 reserved bytes, advise flags and 4 reserved bytes.
constexpr std::size_t smallestTocEntry = 40;
// Some writers put this many reserved bytes between a metafile and the table of contents.
constexpr std::size_t metafileTrailer = 18;

// As class ids are written: {0003000D-0000-0000-C000-000000000046}.
std::string classIdText(const formats::compound::ClassId& id)
{
    char text[40];
    std::snprintf(text, sizeof text,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id[3],
                  id[2], id[1], id[0], id[5], id[4], id[7], id[6], id[8], id[9], id[10], id[11],
                  id[12], id[13], id[14], id[15]);
    return text;
}

std::string hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

QString fromAnsi(std::span<const std::uint8_t> bytes)
{
    QString text;
    for (std::uint8_t b : bytes) {
        if (b == 0)
            break; // the terminator, or a writer's padding after it
        text += QChar(formats::text::fromWindows1252(b));
    }
    return text;
}

// A string whose 32-bit length counts the terminating zero; 0 is an empty string.
QString ansiString(StreamCursor& in, const char* field)
{
    const std::uint32_t length = in.u32(field);
    return fromAnsi(in.take(length, field));
}

void unicodeString(StreamCursor& in, const char* field)
{
    const std::uint32_t characters = in.u32(field);
    if (characters > in.remaining() / 2)
        in.fail(in.offset() - 4, std::string(field) + ": " + std::to_string(characters) +
                                     " Zeichen, aber nur " + std::to_string(in.remaining()) +
                                     " Bytes übrig");
    in.skip(std::size_t(characters) * 2, field);
}

// A clipboard format: none (0), a standard format's number after a marker, or a format name.
void clipboardFormat(StreamCursor& in, const char* field, bool unicode)
{
    const std::uint32_t marker = in.u32(field);
    if (marker == clipboardFormatMarker || marker == clipboardFormatMarkerMac)
        in.u32(field);
    else if (marker != 0)
        in.skip(unicode ? std::size_t(marker) * 2 : marker, field);
}

void readOle(Storage& storage)
{
    StreamCursor in(displayName(oleStreamName), storage.stream(oleStreamName));
    const std::uint32_t version = in.u32("Version");
    if (version != oleVersion)
        in.fail(0, "Version " + hex(version) + ", erwartet " + hex(oleVersion));
    const std::uint32_t flags = in.u32("Flags");
    if (flags & linkedObjectFlag)
        throw OleError(codes::Fail,
                       displayName(oleStreamName) +
                           ": ein verknüpftes Objekt, nur eingebettete werden bedient");
    in.u32("Aktualisierungsoption");
    in.u32("Reserviert");
    // The size counts itself; a moniker of that size follows. Embedded objects have none.
    const std::uint32_t monikerSize = in.u32("Moniker-Größe");
    if (monikerSize > 4)
        in.skip(monikerSize - 4, "Moniker");
}

void readCompObj(Storage& storage, ObjectStreams& object)
{
    StreamCursor in(displayName(compObjStreamName), storage.stream(compObjStreamName));
    in.skip(28, "Kopf");
    object.userType = ansiString(in, "Benutzertyp");
    clipboardFormat(in, "Zwischenablageformat", false);
    object.programId = ansiString(in, "Programmkennung");
    // The Unicode part is optional; where present, its lengths must fit as well.
    std::uint32_t marker = 0;
    if (!in.peekU32(0, marker) || marker != unicodeMarker)
        return;
    in.skip(4, "Unicode-Kennung");
    unicodeString(in, "Unicode-Benutzertyp");
    clipboardFormat(in, "Unicode-Zwischenablageformat", true);
    unicodeString(in, "Unicode-Programmkennung");
}

Presentation readPresentation(Storage& storage)
{
    StreamCursor in(displayName(presentationStreamName), storage.stream(presentationStreamName));
    const std::uint32_t marker = in.u32("Zwischenablageformat");
    if (marker != clipboardFormatMarker && marker != clipboardFormatMarkerMac)
        throw OleError(codes::Fail, displayName(presentationStreamName) +
                                        ": kein Standard-Zwischenablageformat (" + hex(marker) +
                                        ")");
    const std::uint32_t format = in.u32("Zwischenablageformat");
    if (format != metafilePictureFormat)
        throw OleError(codes::Fail, displayName(presentationStreamName) + ": Format " +
                                        std::to_string(format) + " statt Metafile-Bild (3)");
    const std::size_t deviceAt = in.offset();
    const std::uint32_t deviceSize = in.u32("Zielgerät-Größe");
    if (deviceSize < 4)
        in.fail(deviceAt, "Zielgerät-Größe " + std::to_string(deviceSize) + " kleiner als 4");
    in.skip(deviceSize - 4, "Zielgerät");

    Presentation presentation;
    presentation.aspect = in.u32("Aspekt");
    in.u32("Index");
    in.u32("Benachrichtigungsflags");
    in.u32("Reserviert");
    const std::size_t extentAt = in.offset();
    const auto width = std::int32_t(in.u32("Breite"));
    const auto height = std::int32_t(in.u32("Höhe"));
    if (width <= 0 || height <= 0)
        in.fail(extentAt, "Ausdehnung " + std::to_string(width) + " × " + std::to_string(height) +
                              " ist nicht positiv");
    presentation.extent = QSize(width, height);
    const std::uint32_t size = in.u32("Metafile-Größe");
    presentation.metafile = in.take(size, "Metafile");

    // What follows is the table of contents, right after the metafile or after a reserved field;
    // an older writer may have left it out altogether.
    if (in.remaining() == 0)
        return presentation;
    const std::size_t tocAt = in.offset();
    std::uint32_t signature = 0;
    if (in.peekU32(metafileTrailer, signature) && signature == tocSignature)
        in.skip(metafileTrailer, "Reserviert");
    else if (!in.peekU32(0, signature) || signature != tocSignature)
        in.fail(tocAt, "kein Inhaltsverzeichnis („NANI“) nach dem Metafile");
    in.skip(4, "Inhaltsverzeichnis");
    const std::uint32_t entries = in.u32("Einträge");
    if (entries > in.remaining() / smallestTocEntry)
        in.fail(in.offset() - 4, std::to_string(entries) + " Einträge passen nicht in " +
                                     std::to_string(in.remaining()) + " Bytes");
    return presentation;
}

formats::wave::Wave readNative(Storage& storage)
{
    const auto bytes = storage.stream(nativeStreamName);
    StreamCursor in(displayName(nativeStreamName), bytes);
    const std::uint32_t count = in.u32("Länge");
    if (count > in.remaining())
        in.fail(0, "Länge " + std::to_string(count) + " größer als die " +
                       std::to_string(in.remaining()) + " Bytes nach ihr");
    const auto file = in.take(count, "Wave-Datei");
    auto read = formats::wave::readWave(file);
    if (auto* error = std::get_if<formats::wave::Error>(&read))
        in.fail(4 + error->offset, "Wave-Datei: " + error->message);
    return std::get<formats::wave::Wave>(read);
}

} // namespace

ObjectStreams readObjectStreams(Storage& storage)
{
    if (storage.classId() != soundRecClassId)
        throw OleError(codes::ClassNotRegistered, "Die Klasse des Objekts " +
                                                      classIdText(storage.classId()) +
                                                      " ist keine Tonaufnahme (SoundRec)");
    ObjectStreams object;
    readOle(storage);
    readCompObj(storage, object);
    object.presentation = readPresentation(storage);
    object.wave = readNative(storage);
    return object;
}

} // namespace platform::ole
