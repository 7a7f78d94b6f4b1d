#pragma once

#include <QString>

#include <cstddef>

namespace forms {

class ByteSource;
class TRichEdit;

// Loads a file into a text area, replacing all of its content: rich text (input that starts
// with {\rtf) with its own formatting, anything else as plain Windows-1252 text in the area's
// font. The area is left as it was when the load fails.
class RichEditLoader {
public:
    // The area holds at most this many characters (a line break counts as one). The classic
    // control held 32,767; twice as many is still counted word by word in well under a
    // millisecond. A longer file fills the area up to here.
    static constexpr std::size_t Capacity = 65536;
    // Rich text is read whole up to this size (pictures and objects may come before the text);
    // what lies beyond is left unread.
    static constexpr std::size_t MaxRichTextBytes = std::size_t(32) << 20;
    // Plain text is streamed in pieces of this size.
    static constexpr std::size_t PieceSize = 4096;

    // Fails with "Datei %s kann nicht geöffnet werden" when the file cannot be opened for
    // reading without sharing, and "Das Laden des Streams ist mißlungen" when it cannot be read.
    static void loadFromFile(TRichEdit& edit, const QString& fileName);
    static void load(TRichEdit& edit, ByteSource& source);
};

} // namespace forms
