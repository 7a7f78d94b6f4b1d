#pragma once

#include <cstdint>

namespace formats::text {

// The Windows-1252 code page: every byte is one character. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value, as the
// platform's own conversion does, so no byte is ever lost.
char16_t fromWindows1252(std::uint8_t byte);

// A byte of a loaded file as the text area shows it: Windows-1252, except that NUL shows as a
// space, so the text goes on past it and the words on either side stay apart.
inline char16_t areaCharacter(std::uint8_t byte)
{
    return byte == 0 ? u' ' : fromWindows1252(byte);
}

} // namespace formats::text
