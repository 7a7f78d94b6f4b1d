#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace formats::richtext {

// Something the reader met and dealt with: where (byte offset), and the numbers involved.
struct Issue {
    enum class Kind {
        NotRichText,         // input does not start with {\rtf
        GroupTooDeep,        // value: depth reached, limit: deepest kept
        UnclosedGroups,      // value: groups still open at the end of input
        WordTooLong,         // value: letters, limit: longest kept
        ParameterOutOfRange, // value: the number as read (saturated), limit: the bound applied
        NegativeBinary,      // value: the \bin count
        BinaryPastEnd,       // value: the \bin count, limit: bytes left
        BadHexEscape,        // \' not followed by two hex digits
        TruncatedEscape,     // a backslash as the last byte
        TooManyFonts,        // value: font number, limit: entries kept
        TooManyColors,       // limit: entries kept
        UnsupportedCodePage, // value: code page; text is read as Windows-1252
        CapacityReached,     // limit: characters held; the rest is not read
    };

    Kind kind;
    std::size_t offset = 0;
    std::int64_t value = 0;
    std::int64_t limit = 0;

    bool operator==(const Issue&) const = default;
};

// One line in English for logs and test output, e.g. "group too deep at byte 812 (257 > 256)".
std::string describe(const Issue& issue);

} // namespace formats::richtext
