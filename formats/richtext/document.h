#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace formats::richtext {

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Color&) const = default;
};

// Character formatting as the document states it. An empty font name and no colour mean "the
// text area's own" (the document's font table or colour table had no entry for them).
struct CharFormat {
    std::u16string font;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<Color> color;
    bool operator==(const CharFormat&) const = default;
};

// Text with one formatting. Tabs are '\t'; a line break inside a paragraph is U+2028.
struct Run {
    std::u16string text;
    CharFormat format;
};

struct Paragraph {
    std::vector<Run> runs;
};

// What a rich text file shows: always at least one paragraph, perhaps empty.
struct Document {
    std::vector<Paragraph> paragraphs;
    // Characters held, each paragraph break after the first paragraph counting as one.
    std::size_t characters = 0;
};

// Unicode's line separator: a line break that does not end the paragraph.
inline constexpr char16_t LineSeparator = 0x2028;

} // namespace formats::richtext
