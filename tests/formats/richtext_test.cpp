#include "formats/richtext/reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace rt = formats::richtext;
using Kind = rt::Issue::Kind;

namespace {

std::string utf8(std::u16string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Each run as `show` writes it, paragraphs joined by "¶".
template <typename Show> std::string paragraphs(const rt::Document& d, Show show)
{
    std::string out;
    for (std::size_t p = 0; p < d.paragraphs.size(); ++p) {
        if (p)
            out += "¶";
        for (const rt::Run& r : d.paragraphs[p].runs)
            out += show(r);
    }
    return out;
}

// The text alone.
std::string text(const rt::Document& d)
{
    return paragraphs(d, [](const rt::Run& r) { return utf8(r.text); });
}

// Runs as "[attributes]text": font, size when not 12 pt, b/i/u, colour.
std::string runs(const rt::Document& d)
{
    return paragraphs(d, [](const rt::Run& r) {
        std::string a;
        auto add = [&a](const std::string& s) { a += (a.empty() ? "" : ",") + s; };
        if (!r.format.font.empty())
            add(utf8(r.format.font));
        if (r.format.halfPoints != 24)
            add("s" + std::to_string(r.format.halfPoints));
        if (r.format.bold)
            add("b");
        if (r.format.italic)
            add("i");
        if (r.format.underline)
            add("u");
        if (r.format.color) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "#%02x%02x%02x", r.format.color->red,
                          r.format.color->green, r.format.color->blue);
            add(hex);
        }
        return "[" + a + "]" + utf8(r.text);
    });
}

bool has(const rt::ReadResult& r, Kind k)
{
    for (const rt::Issue& i : r.issues) {
        if (i.kind == k)
            return true;
    }
    return false;
}

std::string issues(const rt::ReadResult& r)
{
    std::string out;
    for (const rt::Issue& i : r.issues)
        out += rt::describe(i) + "\n";
    return out;
}

struct TextCase {
    const char* name;
    std::string input;
    std::string text;
};

class RichTextShows : public ::testing::TestWithParam<TextCase> {};

TEST_P(RichTextShows, TheTextOfTheDocument)
{
    const auto r = rt::read(GetParam().input);
    ASSERT_TRUE(r.richText);
    EXPECT_EQ(text(r.document), GetParam().text) << issues(r);
}

INSTANTIATE_TEST_SUITE_P(
    Text, RichTextShows,
    ::testing::Values(
        TextCase{"Plain", R"({\rtf1\ansi Hello world})", "Hello world"},
        TextCase{"Paragraphs", R"({\rtf1 a\par b\par})", "a¶b¶"},
        TextCase{"BackslashLineBreakIsAParagraph", "{\\rtf1 a\\\r\nb\\\nc}", "a¶b¶c"},
        TextCase{"BareLineBreaksAreNotText", "{\\rtf1 a\r\nb\rc\nd}", "abcd"},
        TextCase{"LineAndTab", R"({\rtf1 a\line b\tab c})", "a\u2028b\tc"},
        TextCase{"OneSpaceAfterAWordIsSwallowed", R"({\rtf1\b  two})", " two"},
        TextCase{"DelimiterOtherThanSpaceIsKept", R"({\rtf1\b0;x})", ";x"},
        TextCase{"Escapes", R"({\rtf1 \{\}\\\~\_\-x})", "{}\\\u00A0\u2011x"},
        TextCase{"HexIsWindows1252", R"({\rtf1 \'e4\'80\'41\'9f})", "ä€AŸ"},
        TextCase{"NamedCharacters",
                 R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})", "—–•‘’“”"},
        TextCase{"NulIsASpace", std::string("{\\rtf1 a\0b}", 11), "a b"},
        TextCase{"UnicodeSkipsOneFallback", R"({\rtf1 \u228?x})", "äx"},
        TextCase{"UnicodeNegativeAdds65536", R"({\rtf1\uc0 \u-3913 })", "\uF0B7"},
        TextCase{"UcTwoSkipsTwo", R"({\rtf1\uc2 \u8364 EUx})", "€x"},
        TextCase{"UcZeroSkipsNothing", R"({\rtf1\uc0\u8364 x})", "€x"},
        TextCase{"FallbackHexCountsAsOne", R"({\rtf1 \u228\'e4x})", "äx"},
        TextCase{"FallbackWordCountsAsOne", R"({\rtf1\uc2 \u228\par ?x})", "äx"},
        TextCase{"FallbackStopsAtAGroupStart", R"({\rtf1\uc3 \u228{ab}c})", "äabc"},
        TextCase{"FallbackStopsAtAGroupEnd", R"({\rtf1{\uc3 \u228}abc})", "äabc"},
        TextCase{"UcIsScopedByItsGroup", R"({\rtf1{\uc2 \u228??}\u228?x})", "ääx"},
        TextCase{"SurrogatePair", R"({\rtf1\uc0 \u-10179\u-8704 x})", "😀x"},
        TextCase{"LoneSurrogateIsReplaced", R"({\rtf1\uc0 \u-10179 x\u-8704 })", "\uFFFDx\uFFFD"},
        TextCase{"FontTableIsNotText", R"({\rtf1{\fonttbl{\f0\fswiss Arial;}{\f1 Courier;}}a})",
                 "a"},
        TextCase{"ColorTableIsNotText", R"({\rtf1{\colortbl;\red1\green2\blue3;}a})", "a"},
        TextCase{"StyleSheetIsNotText", R"({\rtf1{\stylesheet{\s0 Normal;}{\s1 Heading;}}a})", "a"},
        TextCase{"InfoIsNotText", R"({\rtf1{\info{\title T}{\author A}}a})", "a"},
        TextCase{"UnknownStarredGroupIsNotText", R"({\rtf1{\*\generator Writer;}{\*\foo {x}y}a})",
                 "a"},
        TextCase{"PictureIsNotText", R"({\rtf1 a{\pict\pngblip 89504e470d0a}b})", "ab"},
        TextCase{"HeadersAndFootersAreNotText", R"({\rtf1{\header H}{\footerl F}a})", "a"},
        TextCase{"ObjectIsNotText", R"({\rtf1{\object{\*\objdata 0102}{\result r}}a})", "a"},
        TextCase{"FieldShowsItsResult",
                 R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt shown}}})", "shown"},
        TextCase{"BinaryWithBracesInsideIsSkipped", R"({\rtf1 a{\pict\bin5 }{\}x}b})", "ab"},
        TextCase{"BinaryInTextIsNotShown", R"({\rtf1 a\bin3 {}}c})", "ac"},
        TextCase{"NothingAfterTheOutermostGroup", R"({\rtf1 a}b})", "a"},
        TextCase{"UnclosedGroupsLoadWhatTheyCan", R"({\rtf1 a{\b b)", "ab"},
        TextCase{"TruncatedInAWord", R"({\rtf1 abc\pa)", "abc"},
        TextCase{"TruncatedHexEscape", R"({\rtf1 a\'e)", "ae"},
        TextCase{"BadHexEscape", R"({\rtf1 a\'zzb})", "azzb"},
        TextCase{"BackslashAtTheEnd", "{\\rtf1 a\\", "a"}),
    [](const auto& info) { return std::string(info.param.name); });

class RichTextFormats : public ::testing::TestWithParam<TextCase> {};

TEST_P(RichTextFormats, AsRunsWithTheirFormatting)
{
    const auto r = rt::read(GetParam().input);
    ASSERT_TRUE(r.richText);
    EXPECT_EQ(runs(r.document), GetParam().text) << issues(r);
}

const std::string tables = R"({\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\froman Times New Roman;})"
                           R"(}{\colortbl;\red255\green0\blue0;\red0\green128\blue255;})";

INSTANTIATE_TEST_SUITE_P(
    Formatting, RichTextFormats,
    ::testing::Values(
        TextCase{"DefaultFontFromTheTable", R"({\rtf1\deff1)" + tables + "a}",
                 "[Times New Roman]a"},
        TextCase{"NoFontTableLeavesTheAreaFont", R"({\rtf1 a})", "[]a"},
        TextCase{"FontAndSize", R"({\rtf1)" + tables + R"(\f1\fs20 a\f0\fs36 b})",
                 "[Times New Roman,s20]a[Arial,s36]b"},
        TextCase{"Toggles", R"({\rtf1)" + tables + R"(\b a\b0\i b\i0\ul c\ulnone d\uldb e\ul0 f})",
                 "[Arial,b]a[Arial,i]b[Arial,u]c[Arial]d[Arial,u]e[Arial]f"},
        TextCase{"GroupsScopeFormatting", R"({\rtf1)" + tables + R"(a{\b\i b}c})",
                 "[Arial]a[Arial,b,i]b[Arial]c"},
        TextCase{"Colours", R"({\rtf1)" + tables + R"(\cf1 a\cf2 b\cf0 c\cf9 d})",
                 "[Arial,#ff0000]a[Arial,#0080ff]b[Arial]cd"},
        TextCase{"PlainResets", R"({\rtf1)" + tables + R"(\f1\fs40\b\cf1 a\plain b})",
                 "[Times New Roman,s40,b,#ff0000]a[Arial]b"},
        TextCase{"ParagraphsKeepTheFormatting", R"({\rtf1\b a\par b})", "[b]a¶[b]b"},
        TextCase{"FontNamesDecodeHex", R"({\rtf1{\fonttbl{\f0 Fran\'e7ais;}}a})", "[Français]a"},
        TextCase{"FontTableWithoutInnerGroups",
                 R"({\rtf1{\fonttbl\f0\fnil Sym;\f1\fnil Mono;}\f1 a})", "[Mono]a"},
        TextCase{"StarredFontAlternativeIsNotTheName",
                 R"({\rtf1{\fonttbl{\f0 Arial{\*\falt Helvetica};}}a})", "[Arial]a"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RichTextStart, OnlyInputStartingWithTheSignatureIsRichText)
{
    for (const char* input :
         {"", "hello", "{\\rt", " {\\rtf1 x}", "{\\RTF1 x}", "\xEF\xBB\xBF{\\rtf1 x}"}) {
        SCOPED_TRACE(input);
        const auto r = rt::read(input);
        EXPECT_FALSE(r.richText);
        EXPECT_TRUE(has(r, Kind::NotRichText));
    }
    EXPECT_TRUE(rt::read("{\\rtf").richText);
}

TEST(RichTextIssues, CarryTheOffsetAndTheNumbers)
{
    const auto r = rt::read("{\\rtf1\\ansicpg1251 a{\\b b");
    EXPECT_EQ(text(r.document), "ab");
    ASSERT_EQ(r.issues.size(), 2u) << issues(r);
    EXPECT_EQ(r.issues[0], (rt::Issue{Kind::UnsupportedCodePage, 6, 1251, 1252}));
    EXPECT_EQ(r.issues[1].kind, Kind::UnclosedGroups);
    EXPECT_EQ(r.issues[1].value, 2);
}

TEST(RichTextCapacity, StopsAtTheCapacity)
{
    rt::Limits limits;
    limits.capacity = 6;
    const auto r = rt::read(R"({\rtf1 abc\par defgh\par ijk})", limits);
    EXPECT_EQ(text(r.document), "abc¶de");
    EXPECT_EQ(r.document.characters, 6u);
    EXPECT_TRUE(has(r, Kind::CapacityReached));
    EXPECT_FALSE(has(r, Kind::UnclosedGroups));
}

// Hostile input: each case must finish with bounded memory, report the limit and still show
// the text around the fault.
struct HostileCase {
    const char* name;
    std::string input;
    Kind issue;
    std::string text;
};

std::string repeat(const std::string& s, std::size_t n)
{
    std::string out;
    out.reserve(s.size() * n);
    for (std::size_t i = 0; i < n; ++i)
        out += s;
    return out;
}

class RichTextHostile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(RichTextHostile, IsBoundedAndReported)
{
    const HostileCase& c = GetParam();
    const auto r = rt::read(c.input);
    ASSERT_TRUE(r.richText);
    EXPECT_TRUE(has(r, c.issue)) << issues(r);
    EXPECT_LE(r.issues.size(), rt::Limits{}.maxIssues);
    EXPECT_EQ(text(r.document), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, RichTextHostile,
    ::testing::Values(
        HostileCase{"DeepGroups",
                    "{\\rtf1 " + repeat("{", 200000) + "x" + repeat("}", 200000) + "y}",
                    Kind::GroupTooDeep, "xy"},
        HostileCase{"DeepGroupsNeverClosed", "{\\rtf1 a" + repeat("{\\b ", 100000),
                    Kind::UnclosedGroups, "a"},
        HostileCase{"LongControlWord", "{\\rtf1 \\" + std::string(100000, 'b') + " x}",
                    Kind::WordTooLong, "x"},
        HostileCase{"LongParameter", "{\\rtf1 \\fs" + std::string(100000, '9') + " x}",
                    Kind::ParameterOutOfRange, "x"},
        HostileCase{"NegativeSize", "{\\rtf1 \\fs-5 x}", Kind::ParameterOutOfRange, "x"},
        HostileCase{"HugeUc", "{\\rtf1\\uc2000000000 \\u65 bcd}", Kind::ParameterOutOfRange, "A"},
        HostileCase{"UnicodeOutOfRange", "{\\rtf1\\uc0\\u99999 x}", Kind::ParameterOutOfRange,
                    "\uFFFFx"},
        HostileCase{"BinaryPastTheEnd", "{\\rtf1 a\\bin2000000000 bc}", Kind::BinaryPastEnd, "a"},
        HostileCase{"NegativeBinary", "{\\rtf1 a\\bin-5 bc}", Kind::NegativeBinary, "abc"},
        HostileCase{"FontTableFlood",
                    "{\\rtf1{\\fonttbl" + repeat("{\\f7 F;}", 10) +
                        [] {
                            std::string s;
                            for (int i = 0; i < 5000; ++i)
                                s += "{\\f" + std::to_string(i) + " F;}";
                            return s;
                        }() +
                        "}x}",
                    Kind::TooManyFonts, "x"},
        HostileCase{"ColorTableFlood", "{\\rtf1{\\colortbl" + repeat("\\red1;", 100000) + "}x}",
                    Kind::TooManyColors, "x"},
        HostileCase{"OnlyFaults", "{\\rtf1 " + repeat("\\'zz", 100000) + "}", Kind::BadHexEscape,
                    repeat("zz", 100000)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RichTextHostileDetails, FontNamesAndIssueCountsAreBounded)
{
    const auto r = rt::read("{\\rtf1{\\fonttbl{\\f0 " + std::string(100000, 'N') + ";}}x" +
                            repeat("\\'zz", 1000) + "}");
    ASSERT_EQ(r.document.paragraphs[0].runs.size(), 1u);
    EXPECT_EQ(r.document.paragraphs[0].runs[0].format.font.size(), rt::Limits{}.maxFontNameLength);
    EXPECT_EQ(r.issues.size(), rt::Limits{}.maxIssues);
    EXPECT_EQ(r.issuesDropped, 1000 - rt::Limits{}.maxIssues);
}

TEST(RichTextHostileDetails, KeptFontsStillApplyAfterTheTableIsFull)
{
    std::string table;
    for (int i = 0; i < 2000; ++i)
        table += "{\\f" + std::to_string(i) + " F" + std::to_string(i) + ";}";
    const auto r = rt::read("{\\rtf1{\\fonttbl" + table + "}\\f1023 a\\f1500 b}");
    EXPECT_EQ(runs(r.document), "[F1023]a[]b") << "a font not kept is the area's";
}

} // namespace
