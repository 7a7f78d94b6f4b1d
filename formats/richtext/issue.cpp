#include "formats/richtext/issue.h"

namespace formats::richtext {

std::string describe(const Issue& issue)
{
    using K = Issue::Kind;
    const auto at = " at byte " + std::to_string(issue.offset);
    const auto v = std::to_string(issue.value);
    const auto l = std::to_string(issue.limit);
    switch (issue.kind) {
    case K::NotRichText:
        return "not rich text (no {\\rtf at the start)";
    case K::GroupTooDeep:
        return "group too deep" + at + " (" + v + " > " + l + ")";
    case K::UnclosedGroups:
        return v + " group(s) still open at the end" + at;
    case K::WordTooLong:
        return "control word too long" + at + " (" + v + " > " + l + " letters)";
    case K::ParameterOutOfRange:
        return "parameter out of range" + at + " (" + v + ", clamped to " + l + ")";
    case K::NegativeBinary:
        return "negative \\bin count" + at + " (" + v + ")";
    case K::BinaryPastEnd:
        return "\\bin count past the end" + at + " (" + v + " > " + l + " bytes left)";
    case K::BadHexEscape:
        return "\\' without two hex digits" + at;
    case K::TruncatedEscape:
        return "backslash at the end of input" + at;
    case K::TooManyFonts:
        return "font table full" + at + " (font " + v + ", " + l + " kept)";
    case K::TooManyColors:
        return "colour table full" + at + " (" + l + " kept)";
    case K::UnsupportedCodePage:
        return "code page " + v + " read as 1252" + at;
    case K::CapacityReached:
        return "capacity of " + l + " characters reached" + at;
    }
    return "issue" + at;
}

} // namespace formats::richtext
