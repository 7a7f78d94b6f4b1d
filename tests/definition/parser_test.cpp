#include "forms/definition/parser.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace forms::definition;
using namespace std::string_literals;

namespace {

// ---------------------------------------------------------------------------------------------
// Helpers

// Places a value on line 2, column 7 of a one-property object.
std::string inObject(const std::string& value)
{
    return "object A: B\n  X = " + value + "\nend";
}

Value integer(std::int64_t n)
{
    Value v;
    v.integer = n;
    return v;
}
Value string(std::string s)
{
    Value v;
    v.kind = Value::Kind::String;
    v.text = std::move(s);
    return v;
}
Value identifier(std::string s)
{
    Value v;
    v.kind = Value::Kind::Identifier;
    v.text = std::move(s);
    return v;
}
Value set(std::vector<std::string> items)
{
    Value v;
    v.kind = Value::Kind::Set;
    v.items = std::move(items);
    return v;
}
Value stringList(std::vector<std::string> items)
{
    Value v;
    v.kind = Value::Kind::StringList;
    v.items = std::move(items);
    return v;
}
Value binary(std::vector<std::uint8_t> bytes)
{
    Value v;
    v.kind = Value::Kind::Binary;
    v.bytes = std::move(bytes);
    return v;
}
Value linked(std::string name)
{
    Value v;
    v.kind = Value::Kind::Binary;
    v.linked = std::move(name);
    return v;
}

void expectSameValue(const Value& actual, const Value& expected)
{
    EXPECT_EQ(actual.kind, expected.kind);
    EXPECT_EQ(actual.integer, expected.integer);
    EXPECT_EQ(actual.text, expected.text);
    EXPECT_EQ(actual.items, expected.items);
    EXPECT_EQ(actual.bytes, expected.bytes);
    EXPECT_EQ(actual.linked, expected.linked);
}

void expectPosition(const SourcePosition& actual, std::size_t offset, int line, int column)
{
    EXPECT_EQ(actual.offset, offset);
    EXPECT_EQ(actual.line, line);
    EXPECT_EQ(actual.column, column);
}

// "Name:Class(Prop,Prop)[Child,Child]": the shape of a tree, each list in definition order.
std::string outline(const Object& object)
{
    std::string out = object.name + ":" + object.className + "(";
    for (std::size_t i = 0; i < object.properties.size(); ++i)
        out += (i ? "," : "") + object.properties[i].name;
    out += ")[";
    for (std::size_t i = 0; i < object.children.size(); ++i)
        out += (i ? "," : "") + outline(object.children[i]);
    return out + "]";
}

std::string describeError(const ParseResult& result)
{
    if (const auto* error = std::get_if<ParseError>(&result))
        return error->message + " at " + std::to_string(error->position.line) + ":" +
               std::to_string(error->position.column);
    return "no error";
}

// Object names n0..n{count-1}, each inside the previous one.
std::string nested(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "object n" + std::to_string(i) + ": T\n";
    for (int i = 0; i < count; ++i)
        text += "end\n";
    return text;
}

// Failures name the case and show its text instead of a dump of the struct's bytes.
template <typename Case>
requires requires(const Case& c)
{
    c.source;
}
void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name << " " << testing::PrintToString(c.source);
}

template <typename Case> std::string caseName(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

// ---------------------------------------------------------------------------------------------
// Values

struct ValueCase {
    std::string name;
    std::string source; // written after "X = "
    Value expected;
};

class ParserValue : public testing::TestWithParam<ValueCase> {};

TEST_P(ParserValue, ProducesValue)
{
    const ParseResult result = parse(inObject(GetParam().source));
    ASSERT_TRUE(std::holds_alternative<Object>(result)) << describeError(result);
    const Object& root = std::get<Object>(result);
    ASSERT_EQ(root.properties.size(), 1u);
    expectSameValue(root.properties[0].value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Parser, ParserValue,
    testing::Values(
        // Integers
        ValueCase{"Decimal", "265", integer(265)}, ValueCase{"Negative", "-11", integer(-11)},
        ValueCase{"ExplicitPlus", "+7", integer(7)},
        ValueCase{"SignApartFromDigits", "- 11", integer(-11)},
        ValueCase{"LeadingZeros", "007", integer(7)},
        ValueCase{"Int64Max", "9223372036854775807", integer(INT64_MAX)},
        ValueCase{"Int64Min", "-9223372036854775808", integer(INT64_MIN)},
        ValueCase{"Hex", "$00C0C0C0", integer(0xC0C0C0)},
        ValueCase{"LowercaseHex", "$ff", integer(255)},
        ValueCase{"NegativeHex", "-$10", integer(-16)},
        ValueCase{"HexInt64Max", "$7FFFFFFFFFFFFFFF", integer(INT64_MAX)},
        ValueCase{"HexInt64Min", "-$8000000000000000", integer(INT64_MIN)},
        // Strings
        ValueCase{"Quoted", "'Hello world'", string("Hello world")},
        ValueCase{"Empty", "''", string("")}, ValueCase{"DoubledQuote", "'it''s'", string("it's")},
        ValueCase{"OnlyADoubledQuote", "''''", string("'")},
        ValueCase{"HashInsideQuotes", "'#-Package'", string("#-Package")},
        ValueCase{"SlashesInsideQuotes", "'http://host'", string("http://host")},
        ValueCase{"Utf8KeptAsIs", "'gr\xC3\xBC\xC3\x9F'", string("gr\xC3\xBC\xC3\x9F")},
        ValueCase{"NulBytesKept", "'a\0b'"s, string("a\0b"s)},
        ValueCase{"CharacterCodes", "#13#10", string("\r\n")},
        ValueCase{"HexCharacterCode", "#$41", string("A")},
        ValueCase{"CodesGluedToQuotes", "'it''s '#13#10'two'", string("it's \r\ntwo")},
        ValueCase{"CodeZero", "#0", string("\0"s)},
        ValueCase{"TwoByteCode", "#233", string("\xC3\xA9")},
        ValueCase{"ThreeByteCode", "#8364", string("\xE2\x82\xAC")},
        ValueCase{"FourByteCode", "#$1F600", string("\xF0\x9F\x98\x80")},
        ValueCase{"HighestCode", "#1114111", string("\xF4\x8F\xBF\xBF")},
        ValueCase{"CodeBelowSurrogates", "#$D7FF", string("\xED\x9F\xBF")},
        ValueCase{"CodeAboveSurrogates", "#$E000", string("\xEE\x80\x80")},
        ValueCase{"PlusJoins", "'a' + 'b'", string("ab")},
        ValueCase{"PlusGluedToParts", "'a'+'b'+#33", string("ab!")},
        ValueCase{"PlusAcrossLines", "'two ' +\n  // note\n  'lines'", string("two lines")},
        // Identifiers
        ValueCase{"Identifier", "clBlack", identifier("clBlack")},
        ValueCase{"UnderscoreAndDigits", "_Button2Click", identifier("_Button2Click")},
        ValueCase{"KeywordAsPrefix", "Endless", identifier("Endless")},
        // Sets
        ValueCase{"EmptySet", "[]", set({})}, ValueCase{"OneMember", "[fsBold]", set({"fsBold"})},
        ValueCase{"Members", "[biSystemMenu, biMinimize]", set({"biSystemMenu", "biMinimize"})},
        ValueCase{"MembersAcrossLines", "[\n  a ,\n  b // c\n]", set({"a", "b"})},
        // String lists
        ValueCase{"EmptyList", "()", stringList({})},
        ValueCase{"ListItems", "(\n  'EXP'\n  'UNI Style')", stringList({"EXP", "UNI Style"})},
        ValueCase{"ListItemsJoined", "('a' + 'b' 'c'#33)", stringList({"ab", "c!"})},
        ValueCase{"ListOfEmptyStrings", "('' '')", stringList({"", ""})},
        // Binary
        ValueCase{"EmptyBinary", "{}", binary({})},
        ValueCase{"BinaryPairs", "{0A1B 2C}", binary({0x0A, 0x1B, 0x2C})},
        ValueCase{"BinaryLowercase", "{ff00}", binary({0xFF, 0x00})},
        ValueCase{"BinaryAcrossLines", "{\r\n  0A1B\r\n  2C\r\n}", binary({0x0A, 0x1B, 0x2C})},
        ValueCase{"LinkedBytes", "{@soundobject}", linked("soundobject")},
        ValueCase{"LinkedBytesSpaced", "{\n  @sound_2\n}", linked("sound_2")}),
    caseName<ValueCase>);

// ---------------------------------------------------------------------------------------------
// Structure

struct StructureCase {
    std::string name;
    std::string source;
    std::string outline;
};

class ParserStructure : public testing::TestWithParam<StructureCase> {};

TEST_P(ParserStructure, ProducesTree)
{
    const ParseResult result = parse(GetParam().source);
    ASSERT_TRUE(std::holds_alternative<Object>(result)) << describeError(result);
    EXPECT_EQ(outline(std::get<Object>(result)), GetParam().outline);
}

INSTANTIATE_TEST_SUITE_P(
    Parser, ParserStructure,
    testing::Values(
        StructureCase{"Minimal", "object A: B end", "A:B()[]"},
        StructureCase{"NoBlanksAroundColon", "object A:B end", "A:B()[]"},
        StructureCase{"KeywordsIgnoreCase", "OBJECT A: B\n  Object C: D eNd\nEND",
                      "A:B()[C:D()[]]"},
        StructureCase{"Interleaved",
                      "object F: TF\n  A = 1\n  object C1: T end\n  B = 2\n"
                      "  object C2: T end\n  C = 3\nend",
                      "F:TF(A,B,C)[C1:T()[],C2:T()[]]"},
        StructureCase{"Nested", "object A: T object B: T P = 1 object C: T end end end",
                      "A:T()[B:T(P)[C:T()[]]]"},
        StructureCase{"DottedNames", "object A: B\n  Font.Height = 1\n  Items . Strings = ()\nend",
                      "A:B(Font.Height,Items.Strings)[]"},
        StructureCase{"CommentsEverywhere",
                      "// header\nobject A: B // trailing\n  // X = 1\n  Y = 2 // after value\n"
                      "end // done\n// tail",
                      "A:B(Y)[]"},
        StructureCase{"CrLfAndTabs", "object A: B\r\n\tX = 1\r\nend\r\n", "A:B(X)[]"},
        StructureCase{"ByteOrderMark", "\xEF\xBB\xBFobject A: B end", "A:B()[]"}),
    caseName<StructureCase>);

TEST(Parser, ReadsACompleteDefinition)
{
    const std::string text = "object Form1: TForm1\n"
                             "  Left = 265\n"
                             "  Caption = '#-Package'\n"
                             "  Font.Height = -11\n"
                             "  Font.Style = []\n"
                             "  Color = $00C0C0C0\n"
                             "  BorderIcons = [biSystemMenu, biMinimize]\n"
                             "  object Label1: TLabel\n"
                             "    Caption = 'it''s '#13#10 +\n"
                             "      'two lines'\n"
                             "    Items.Strings = (\n"
                             "      'EXP'\n"
                             "      'UNI Style')\n"
                             "    Data = {0A1B 2C}\n"
                             "  end\n"
                             "end\n";
    const ParseResult result = parse(text);
    ASSERT_TRUE(std::holds_alternative<Object>(result)) << describeError(result);
    const Object& form = std::get<Object>(result);

    EXPECT_EQ(outline(form), "Form1:TForm1(Left,Caption,Font.Height,Font.Style,Color,BorderIcons)"
                             "[Label1:TLabel(Caption,Items.Strings,Data)[]]");
    ASSERT_EQ(form.properties.size(), 6u);
    expectSameValue(form.properties[0].value, integer(265));
    expectSameValue(form.properties[1].value, string("#-Package"));
    expectSameValue(form.properties[2].value, integer(-11));
    expectSameValue(form.properties[3].value, set({}));
    expectSameValue(form.properties[4].value, integer(0xC0C0C0));
    expectSameValue(form.properties[5].value, set({"biSystemMenu", "biMinimize"}));

    ASSERT_EQ(form.children.size(), 1u);
    const Object& label = form.children[0];
    ASSERT_EQ(label.properties.size(), 3u);
    expectSameValue(label.properties[0].value, string("it's \r\ntwo lines"));
    expectSameValue(label.properties[1].value, stringList({"EXP", "UNI Style"}));
    expectSameValue(label.properties[2].value, binary({0x0A, 0x1B, 0x2C}));
}

// Cutting a definition anywhere must give an error inside the text read, never a crash, a read
// past the end or a half-built tree.
TEST(Parser, RejectsEveryTruncation)
{
    const std::string text = "object Form1: TForm1 // c\n"
                             "  Caption = 'it''s '#13#10#$41 +\n"
                             "    'x'\n"
                             "  Items = ('a' 'b') Style = [a, b] Tag = -$7F\n"
                             "  object B: T Data = {0A 1B} end\n"
                             "end";
    ASSERT_TRUE(std::holds_alternative<Object>(parse(text))) << describeError(parse(text));
    for (std::size_t length = 0; length < text.size(); ++length) {
        const ParseResult result = parse(std::string_view(text).substr(0, length));
        const auto* error = std::get_if<ParseError>(&result);
        ASSERT_NE(error, nullptr) << "accepted the first " << length << " bytes";
        EXPECT_LE(error->position.offset, length) << error->message;
    }
}

// ---------------------------------------------------------------------------------------------
// Positions

struct PositionCase {
    std::string name;
    std::string source;
    std::function<SourcePosition(const Object&)> select;
    std::size_t offset;
    int line;
    int column;
};

class ParserPosition : public testing::TestWithParam<PositionCase> {};

TEST_P(ParserPosition, PointsAtFirstToken)
{
    const PositionCase& c = GetParam();
    const ParseResult result = parse(c.source);
    ASSERT_TRUE(std::holds_alternative<Object>(result)) << describeError(result);
    expectPosition(c.select(std::get<Object>(result)), c.offset, c.line, c.column);
}

SourcePosition rootPosition(const Object& o)
{
    return o.position;
}
SourcePosition firstProperty(const Object& o)
{
    return o.properties.at(0).position;
}
SourcePosition firstValue(const Object& o)
{
    return o.properties.at(0).value.position;
}
SourcePosition firstChild(const Object& o)
{
    return o.children.at(0).position;
}

INSTANTIATE_TEST_SUITE_P(
    Parser, ParserPosition,
    testing::Values(
        PositionCase{"Root", "  object A: B end", rootPosition, 2, 1, 3},
        PositionCase{"PropertyAtFirstName", "object A: B\n  Font.Height = -11\nend", firstProperty,
                     14, 2, 3},
        PositionCase{"ValueAtSign", "object A: B\n  Font.Height = -11\nend", firstValue, 28, 2, 17},
        PositionCase{"StringAtFirstPart", "object A: B\n  X =\n    'a' +\n  'b'\nend", firstValue,
                     22, 3, 5},
        PositionCase{"BinaryAtBrace", "object A: B\n  X = {\n0A}\nend", firstValue, 18, 2, 7},
        PositionCase{"ChildAtKeyword", "object A: B\n\n    object C: D end\nend", firstChild, 17, 3,
                     5},
        PositionCase{"CrLfIsOneBreak", "object A: B\r\n\r\n  X = 1\r\nend", firstProperty, 17, 3,
                     3},
        PositionCase{"LoneCrBreaksLine", "object A: B\r  X = 1\rend", firstProperty, 14, 2, 3},
        PositionCase{"AfterBinaryLines", "object A: B\n  X = {\n0A\n}\n  Y = 1\nend",
                     [](const Object& o) { return o.properties.at(1).position; }, 27, 5, 3},
        PositionCase{"ByteOrderMarkIsNoColumn", "\xEF\xBB\xBFobject A: B end", rootPosition, 3, 1,
                     1}),
    caseName<PositionCase>);

// ---------------------------------------------------------------------------------------------
// Errors

struct ErrorCase {
    std::string name;
    std::string source;
    std::string message;
    int line;
    int column;
};

class ParserError : public testing::TestWithParam<ErrorCase> {};

TEST_P(ParserError, ReportsWhatAndWhere)
{
    const ErrorCase& c = GetParam();
    const ParseResult result = parse(c.source);
    const auto* error = std::get_if<ParseError>(&result);
    ASSERT_NE(error, nullptr) << "parsed without error";
    EXPECT_EQ(error->message, c.message);
    EXPECT_EQ(error->position.line, c.line);
    EXPECT_EQ(error->position.column, c.column);
}

INSTANTIATE_TEST_SUITE_P(
    Parser, ParserError,
    testing::Values(
        // Objects
        ErrorCase{"Empty", "", "expected 'object', found end of input", 1, 1},
        ErrorCase{"OnlyComment", "// nothing\n", "expected 'object', found end of input", 2, 1},
        ErrorCase{"NotAnObject", "form A: B end", "expected 'object', found identifier 'form'", 1,
                  1},
        ErrorCase{"MissingName", "object : B end", "expected object name after 'object', found ':'",
                  1, 8},
        ErrorCase{"KeywordAsName", "object end: B end",
                  "expected object name after 'object', found 'end'", 1, 8},
        ErrorCase{"MissingColon", "object A B end",
                  "expected ':' after object name, found identifier 'B'", 1, 10},
        ErrorCase{"MissingClass", "object A:\nend", "expected class name after ':', found 'end'", 2,
                  1},
        ErrorCase{"MissingEnd", "object A: B\n  X = 1\n",
                  "expected property name, 'object' or 'end', found end of input", 3, 1},
        ErrorCase{"MissingInnerEnd", "object A: B\n  object C: D\nend",
                  "expected property name, 'object' or 'end', found end of input", 3, 4},
        ErrorCase{"StrayToken", "object A: B\n  = 1\nend",
                  "expected property name, 'object' or 'end', found '='", 2, 3},
        ErrorCase{"TrailingText", "object A: B end junk",
                  "expected end of input after the root object, found identifier 'junk'", 1, 17},
        ErrorCase{"SecondRoot", "object A: B end\nobject C: D end",
                  "expected end of input after the root object, found 'object'", 2, 1},
        ErrorCase{"LongIdentifierShortened", "object A: B end " + std::string(50, 'x'),
                  "expected end of input after the root object, found identifier '" +
                      std::string(40, 'x') + "...'",
                  1, 17},
        // Properties
        ErrorCase{"MissingEquals", "object A: B\n  X ] 1\nend",
                  "expected '=' after property name, found ']'", 2, 5},
        ErrorCase{"DanglingDot", "object A: B\n  Font. = 1\nend",
                  "expected identifier after '.', found '='", 2, 9},
        ErrorCase{"MissingValue", inObject(""), "expected value after '=', found 'end'", 3, 1},
        ErrorCase{"ClosingAsValue", inObject(")"), "expected value after '=', found ')'", 2, 7},
        ErrorCase{"NonAsciiName", "object A: B\n  Gr\xC3\xB6\xC3\x9F\x65 = 1\nend",
                  "unexpected byte 0xC3", 2, 5},
        // Integers
        ErrorCase{"SignWithoutNumber", inObject("-abc"),
                  "expected number after '-', found identifier 'abc'", 2, 8},
        ErrorCase{"PlusBeforeHex", inObject("+$10"),
                  "expected digits after '+', found number '$10'", 2, 8},
        ErrorCase{"DollarWithoutDigits", inObject("$"),
                  "expected hex digits after '$', found line break", 2, 8},
        ErrorCase{"LettersAfterDigits", inObject("12px"), "invalid character 'p' in number", 2, 9},
        ErrorCase{"LettersAfterHex", inObject("$FFG"), "invalid character 'G' in number", 2, 10},
        ErrorCase{"AboveInt64Max", inObject("9223372036854775808"), "integer out of range", 2, 7},
        ErrorCase{"BelowInt64Min", inObject("-9223372036854775809"), "integer out of range", 2, 7},
        ErrorCase{"HexAboveInt64Max", inObject("$8000000000000000"), "integer out of range", 2, 7},
        ErrorCase{"WrapsPast64Bits", inObject("18446744073709551617"), "integer out of range", 2,
                  7},
        ErrorCase{"HexWrapsPast64Bits", inObject("-$10000000000000001"), "integer out of range", 2,
                  7},
        // Strings
        ErrorCase{"UnterminatedString", "object A: B\n  X = 'abc", "unterminated string", 2, 7},
        ErrorCase{"UnterminatedAfterDoubledQuote", "object A: B\n  X = 'it''",
                  "unterminated string", 2, 7},
        ErrorCase{"LineBreakInString", inObject("'abc"), "line break inside string", 2, 7},
        ErrorCase{"SeparatePartsNotJoined", inObject("'a' 'b'"),
                  "expected property name, 'object' or 'end', found string", 2, 11},
        ErrorCase{"PlusWithoutString", inObject("'a' +"), "expected string after '+', found 'end'",
                  3, 1},
        ErrorCase{"PlusBeforeNumber", inObject("'a' + 1"),
                  "expected string after '+', found number '1'", 2, 13},
        ErrorCase{"HashWithoutDigits", inObject("#"),
                  "expected digits or '$' after '#', found line break", 2, 8},
        ErrorCase{"HashDollarWithoutDigits", inObject("#$x"),
                  "expected hex digits after '#$', found 'x'", 2, 9},
        ErrorCase{"LettersAfterCode", inObject("#13x"), "invalid character 'x' in character code",
                  2, 10},
        ErrorCase{"CodeAboveUnicode", inObject("#1114112"), "character code out of range", 2, 7},
        ErrorCase{"HugeCode", inObject("#99999999999999999999"), "character code out of range", 2,
                  7},
        ErrorCase{"CodeInsideRun", inObject("'a'#$110000"), "character code out of range", 2, 10},
        ErrorCase{"FirstSurrogate", inObject("#$D800"), "character code is a surrogate half", 2, 7},
        ErrorCase{"LastSurrogate", inObject("#57343"), "character code is a surrogate half", 2, 7},
        // Sets and string lists
        ErrorCase{"SetTrailingComma", inObject("[a,]"), "expected identifier in set, found ']'", 2,
                  10},
        ErrorCase{"SetWithoutComma", inObject("[a b]"),
                  "expected ',' or ']' in set, found identifier 'b'", 2, 10},
        ErrorCase{"SetOfNumbers", inObject("[1]"), "expected identifier in set, found number '1'",
                  2, 8},
        ErrorCase{"UnclosedSet", "object A: B\n  X = [a",
                  "expected ',' or ']' in set, found end of input", 2, 9},
        ErrorCase{"ListOfIdentifiers", inObject("('a' b)"),
                  "expected string or ')' in string list, found identifier 'b'", 2, 12},
        ErrorCase{"UnclosedList", inObject("('a'"),
                  "expected string or ')' in string list, found 'end'", 3, 1},
        // Binary
        ErrorCase{"OddBinary", inObject("{0A1}"), "odd number of hex digits in binary value", 2,
                  10},
        ErrorCase{"SplitByte", inObject("{0 A}"), "odd number of hex digits in binary value", 2, 8},
        ErrorCase{"BadBinaryDigit", inObject("{0G}"),
                  "expected hex digit or '}' in binary value, found 'G'", 2, 9},
        ErrorCase{"CommentInBinary", inObject("{0A // x\n}"),
                  "expected hex digit or '}' in binary value, found '/'", 2, 11},
        ErrorCase{"UnterminatedBinary", "object A: B\n  X = {0A", "unterminated binary value", 2,
                  7},
        ErrorCase{"UnterminatedOnOddDigit", "object A: B\n  X = {0A1", "unterminated binary value",
                  2, 7},
        ErrorCase{"LinkedWithoutName", inObject("{@}"), "expected name after '@' in binary value",
                  2, 9},
        ErrorCase{"LinkedAndBytes", inObject("{@a 0A}"),
                  "expected '}' after linked name, found '0'", 2, 11},
        ErrorCase{"UnterminatedLinked", "object A: B\n  X = {@a", "unterminated binary value", 2,
                  7},
        // Characters outside the grammar
        ErrorCase{"UnexpectedCharacter", inObject("@"), "unexpected character '@'", 2, 7},
        ErrorCase{"SingleSlash", inObject("/"), "unexpected character '/'", 2, 7},
        ErrorCase{"ControlByte", inObject("\x01"), "unexpected byte 0x01", 2, 7}),
    caseName<ErrorCase>);

// ---------------------------------------------------------------------------------------------
// Limits

struct LimitCase {
    std::string name;
    ParseLimits limits;
    std::string source;
    std::string message = {}; // empty: the text is within the limits
    int line = 0;
    int column = 0;
};

class ParserLimit : public testing::TestWithParam<LimitCase> {};

TEST_P(ParserLimit, EnforcesLimit)
{
    const LimitCase& c = GetParam();
    const ParseResult result = parse(c.source, c.limits);
    if (c.message.empty()) {
        EXPECT_TRUE(std::holds_alternative<Object>(result)) << describeError(result);
        return;
    }
    const auto* error = std::get_if<ParseError>(&result);
    ASSERT_NE(error, nullptr) << "parsed without error";
    EXPECT_EQ(error->message, c.message);
    EXPECT_EQ(error->position.line, c.line);
    EXPECT_EQ(error->position.column, c.column);
}

INSTANTIATE_TEST_SUITE_P(
    Parser, ParserLimit,
    testing::Values(
        LimitCase{"DepthAtLimit", {.maxDepth = 3}, nested(3)},
        LimitCase{
            "DepthOverLimit", {.maxDepth = 3}, nested(4), "nesting deeper than 3 objects", 4, 1},
        LimitCase{"DefaultDepth", {}, nested(65), "nesting deeper than 64 objects", 65, 1},
        LimitCase{
            "ObjectsAtLimit", {.maxObjects = 3}, "object A: T object B: T end object C: T end end"},
        LimitCase{"ObjectsOverLimitCountNested",
                  {.maxObjects = 3},
                  "object A: T\n object B: T object C: T end end\n object D: T end end",
                  "more than 3 objects",
                  3,
                  2},
        LimitCase{"StringAtLimit", {.maxStringBytes = 4}, inObject("'abcd'")},
        LimitCase{"StringOverLimit",
                  {.maxStringBytes = 4},
                  inObject("'abcde'"),
                  "string longer than 4 bytes",
                  2,
                  7},
        LimitCase{"JoinedStringOverLimit",
                  {.maxStringBytes = 4},
                  inObject("'ab' +\n'cde'"),
                  "string longer than 4 bytes",
                  2,
                  7},
        LimitCase{"CodesCountAsUtf8Bytes",
                  {.maxStringBytes = 4},
                  inObject("#233#233#233"),
                  "string longer than 4 bytes",
                  2,
                  7},
        LimitCase{"StringLimitIsPerItem", {.maxStringBytes = 4}, inObject("('abcd' 'efgh')")},
        LimitCase{"ListItemOverLimit",
                  {.maxStringBytes = 4},
                  inObject("('abcd' 'ef' + 'ghi')"),
                  "string longer than 4 bytes",
                  2,
                  15},
        LimitCase{"SetAtLimit", {.maxListItems = 2}, inObject("[a, b]")},
        LimitCase{"SetOverLimit",
                  {.maxListItems = 2},
                  inObject("[a, b, c]"),
                  "more than 2 items in a set",
                  2,
                  14},
        LimitCase{"ListAtLimit", {.maxListItems = 2}, inObject("('a' 'b')")},
        LimitCase{"ListOverLimit",
                  {.maxListItems = 2},
                  inObject("('a' 'b' 'c')"),
                  "more than 2 items in a string list",
                  2,
                  16},
        LimitCase{"BinaryAtLimit", {.maxBinaryBytes = 2}, inObject("{0A0B}")},
        LimitCase{"BinaryOverLimit",
                  {.maxBinaryBytes = 2},
                  inObject("{0A0B0C}"),
                  "binary value longer than 2 bytes",
                  2,
                  7}),
    caseName<LimitCase>);

} // namespace
