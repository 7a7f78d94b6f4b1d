#include "formats/text/plaintextdecoder.h"

#include <gtest/gtest.h>

#include <string>

using formats::text::PlainTextDecoder;

namespace {

// Feeds the input in pieces of the given size (0: whole) and returns the text.
std::u16string decode(std::string_view input, std::size_t piece = 0,
                      std::size_t capacity = SIZE_MAX)
{
    PlainTextDecoder d(capacity);
    if (piece == 0)
        piece = input.size() + 1;
    for (std::size_t i = 0; i < input.size(); i += piece)
        d.feed(input.substr(i, piece));
    return d.take();
}

struct Case {
    const char* name;
    std::string input;
    std::u16string text;
};

class PlainText : public ::testing::TestWithParam<Case> {};

TEST_P(PlainText, DecodesTheSameInPiecesOfAnySize)
{
    const Case& c = GetParam();
    for (std::size_t piece :
         {std::size_t(0), std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(4096)}) {
        SCOPED_TRACE("piece size " + std::to_string(piece));
        EXPECT_EQ(decode(c.input, piece), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlainText,
    ::testing::Values(Case{"Empty", "", u""}, Case{"LineFeed", "a\nb", u"a\nb"},
                      Case{"CarriageReturn", "a\rb", u"a\nb"},
                      Case{"CrLfIsOneBreak", "a\r\nb", u"a\nb"},
                      Case{"LfCrIsTwoBreaks", "a\n\rb", u"a\n\nb"},
                      Case{"Mixed", "a\r\n\r\nb\rc\nd\r\r\ne", u"a\n\nb\nc\nd\n\ne"},
                      Case{"LastByteIsCr", "end\r", u"end\n"}, Case{"LoneCrs", "\r\r\r", u"\n\n\n"},
                      Case{"NulKeepsWordsApartAndTextGoesOn", std::string("one\0two\0\0three", 14),
                           u"one two  three"},
                      Case{"Windows1252High", "\x80\x85\x8A\x9F\xA0\xE4\xFF",
                           u"\u20AC\u2026\u0160\u0178\u00A0\u00E4\u00FF"},
                      Case{"UnassignedBytesAreKept", "\x81\x8D\x8F\x90\x9D",
                           u"\u0081\u008D\u008F\u0090\u009D"},
                      Case{"NoUtf8Decoding", "\xC3\xA4", u"\u00C3\u00A4"},
                      Case{"OtherControlsStay", "a\tb\x1A", u"a\tb\x1A"}),
    [](const auto& info) { return std::string(info.param.name); });

// The classic control dropped a CR that ended one of its 4,096-byte pieces; here a lone CR
// anywhere around a piece end is one line break and the words on either side stay apart.
TEST(PlainTextPieces, LoneCrAtEveryPositionAroundAPieceEnd)
{
    constexpr std::size_t piece = 16;
    for (std::size_t at = piece - 3; at <= piece + 2; ++at) {
        for (const char* brk : {"\r", "\r\n", "\n"}) {
            std::string input(at, 'x');
            input += brk;
            input += "word";
            std::u16string expected(at, u'x');
            expected += u"\nword";
            SCOPED_TRACE("break at " + std::to_string(at));
            EXPECT_EQ(decode(input, piece), expected);
        }
    }
}

TEST(PlainTextCapacity, StopsAtTheCapacityAndSaysSo)
{
    PlainTextDecoder d(5);
    EXPECT_TRUE(d.feed("abc"));
    EXPECT_FALSE(d.feed("d\r\nefgh"));
    EXPECT_TRUE(d.full());
    EXPECT_EQ(d.text(), u"abcd\n");
}

} // namespace
