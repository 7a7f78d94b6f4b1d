#include "forms/keys.h"

#include <array>

namespace forms {

namespace {

// Virtual-key codes name physical keys, not characters: Shift+1 is still the key '1'. Where the
// platform reports the key's scan code (X11 and Wayland: the Linux input code + 8), that decides.
constexpr std::uint16_t fromLinuxCode(quint32 code)
{
    // clang-format off
    constexpr std::array<std::uint16_t, 128> table = {
        0,    0x1B, '1',  '2',  '3',  '4',  '5',  '6',  '7',  '8',  '9',  '0',  0xBD, 0xBB, 0x08, 0x09, //   0
        'Q',  'W',  'E',  'R',  'T',  'Y',  'U',  'I',  'O',  'P',  0xDB, 0xDD, 0x0D, 0x11, 'A',  'S',  //  16
        'D',  'F',  'G',  'H',  'J',  'K',  'L',  0xBA, 0xDE, 0xC0, 0x10, 0xDC, 'Z',  'X',  'C',  'V',  //  32
        'B',  'N',  'M',  0xBC, 0xBE, 0xBF, 0x10, 0x6A, 0x12, 0x20, 0x14, 0x70, 0x71, 0x72, 0x73, 0x74, //  48
        0x75, 0x76, 0x77, 0x78, 0x79, 0x90, 0x91, 0x67, 0x68, 0x69, 0x6D, 0x64, 0x65, 0x66, 0x6B, 0x61, //  64
        0x62, 0x63, 0x60, 0x6E, 0,    0,    0xE2, 0x7A, 0x7B, 0,    0,    0,    0,    0,    0,    0,    //  80
        0x0D, 0x11, 0x6F, 0x2C, 0x12, 0,    0x24, 0x26, 0x21, 0x25, 0x27, 0x23, 0x28, 0x22, 0x2D, 0x2E, //  96
        0,    0,    0,    0,    0,    0,    0,    0x13, 0,    0,    0,    0,    0,    0x5B, 0x5C, 0x5D, // 112
    };
    // clang-format on
    if (code < table.size())
        return table[code];
    if (code >= 183 && code <= 194) // F13..F24
        return std::uint16_t(0x7C + (code - 183));
    return 0;
}

std::uint16_t fromQtKey(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return std::uint16_t('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return std::uint16_t('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return std::uint16_t(vkF1 + (key - Qt::Key_F1));
    // One key a line reads as the table it is.
    // clang-format off
    switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vkTab;
    case Qt::Key_Clear: return 0x0C;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vkReturn;
    case Qt::Key_Shift: return vkShift;
    case Qt::Key_Control: return vkControl;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return vkMenu;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return vkLeft;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Print: return 0x2C;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Meta: return 0x5B;
    case Qt::Key_Menu: return 0x5D;
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    // The shifted digits of a US keyboard, for platforms that report no scan code.
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
    case Qt::Key_Udiaeresis: return 0xBA;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 0xBC;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Slash:
    case Qt::Key_Question: return 0xBF;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
    case Qt::Key_Odiaeresis: return 0xC0;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
    case Qt::Key_ssharp: return 0xDB;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 0xDC;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 0xDD;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
    case Qt::Key_Adiaeresis: return 0xDE;
    default: return 0;
    }
    // clang-format on
}

} // namespace

std::uint16_t virtualKeyFromQt(int qtKey, quint32 nativeScanCode)
{
    if (nativeScanCode >= 8) {
        if (const std::uint16_t vk = fromLinuxCode(nativeScanCode - 8))
            return vk;
    }
    if (const std::uint16_t vk = fromQtKey(qtKey))
        return vk;
    // Every key gets a code, so that a handler can always tell "swallowed" (0) from a key.
    return vkUnknown;
}

TShiftState shiftStateFromQt(Qt::KeyboardModifiers modifiers)
{
    TShiftState s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= ssShift;
    if (modifiers & Qt::AltModifier)
        s |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        s |= ssCtrl;
    return s;
}

} // namespace forms
