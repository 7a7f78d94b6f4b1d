#include "forms/definition/parser.h"

#include "forms/definition/lexer.h"

#include <utility>

namespace forms::definition {

namespace {

// Recursive descent over one token of lookahead. Objects nest through an explicit stack rather
// than recursion, so no limit setting can overflow the call stack.
class Parser {
public:
    Parser(std::string_view text, const ParseLimits& limits)
        : lexer_(text)
        , limits_(limits)
    {
        advance();
    }

    Object parseDefinition()
    {
        std::vector<Object> open;
        open.push_back(parseObjectHeader(1));
        for (;;) {
            if (current_.kind == TokenKind::KeywordEnd) {
                advance();
                Object done = std::move(open.back());
                open.pop_back();
                if (open.empty()) {
                    expect(TokenKind::EndOfInput, "expected end of input after the root object");
                    return done;
                }
                open.back().children.push_back(std::move(done));
            } else if (current_.kind == TokenKind::KeywordObject) {
                open.push_back(parseObjectHeader(open.size() + 1));
            } else if (isName()) {
                open.back().properties.push_back(parseProperty());
            } else {
                fail("expected property name, 'object' or 'end'");
            }
        }
    }

private:
    Object parseObjectHeader(std::size_t depth)
    {
        if (current_.kind != TokenKind::KeywordObject)
            fail("expected 'object'");
        Object object;
        object.position = current_.position;
        if (limits_.maxDepth < 0 || depth > static_cast<std::size_t>(limits_.maxDepth))
            throw ParseError{"nesting deeper than " + std::to_string(limits_.maxDepth) + " objects",
                             object.position};
        if (++objectCount_ > limits_.maxObjects)
            throw ParseError{"more than " + std::to_string(limits_.maxObjects) + " objects",
                             object.position};
        advance();
        object.name = takeName("expected object name after 'object'");
        expect(TokenKind::Colon, "expected ':' after object name");
        object.className = takeName("expected class name after ':'");
        return object;
    }

    Property parseProperty()
    {
        Property property;
        property.position = current_.position;
        property.name = takeName("expected property name");
        while (current_.kind == TokenKind::Dot) {
            advance();
            property.name += '.';
            property.name += takeName("expected identifier after '.'");
        }
        expect(TokenKind::Equals, "expected '=' after property name");
        property.value = parseValue();
        return property;
    }

    Value parseValue()
    {
        Value value;
        value.position = current_.position;
        switch (current_.kind) {
        case TokenKind::Number:
        case TokenKind::HexNumber:
            value.integer = takeInteger(false, value.position);
            break;
        case TokenKind::Minus:
            advance();
            if (current_.kind != TokenKind::Number && current_.kind != TokenKind::HexNumber)
                fail("expected number after '-'");
            value.integer = takeInteger(true, value.position);
            break;
        case TokenKind::Plus:
            advance();
            if (current_.kind != TokenKind::Number)
                fail("expected digits after '+'");
            value.integer = takeInteger(false, value.position);
            break;
        case TokenKind::String:
            value.kind = Value::Kind::String;
            value.text = takeString();
            break;
        case TokenKind::Identifier:
            value.kind = Value::Kind::Identifier;
            value.text = current_.spelling;
            advance();
            break;
        case TokenKind::LeftBracket:
            value.kind = Value::Kind::Set;
            value.items = parseSet();
            break;
        case TokenKind::LeftParen:
            value.kind = Value::Kind::StringList;
            value.items = parseStringList();
            break;
        case TokenKind::LeftBrace:
            value.kind = Value::Kind::Binary;
            // The lexer stands right behind the '{': current_ is the only token read ahead.
            if (lexer_.atLinkedName())
                value.linked = lexer_.readLinkedName(value.position);
            else
                value.bytes = lexer_.readBinary(limits_.maxBinaryBytes, value.position);
            advance();
            break;
        default:
            fail("expected value after '='");
        }
        return value;
    }

    std::vector<std::string> parseSet()
    {
        std::vector<std::string> items;
        advance();
        if (current_.kind == TokenKind::RightBracket) {
            advance();
            return items;
        }
        for (;;) {
            if (isName() && items.size() >= limits_.maxListItems)
                throw ParseError{"more than " + std::to_string(limits_.maxListItems) +
                                     " items in a set",
                                 current_.position};
            items.push_back(takeName("expected identifier in set"));
            if (current_.kind == TokenKind::RightBracket) {
                advance();
                return items;
            }
            expect(TokenKind::Comma, "expected ',' or ']' in set");
        }
    }

    std::vector<std::string> parseStringList()
    {
        std::vector<std::string> items;
        advance();
        while (current_.kind != TokenKind::RightParen) {
            if (current_.kind != TokenKind::String)
                fail("expected string or ')' in string list");
            if (items.size() >= limits_.maxListItems)
                throw ParseError{"more than " + std::to_string(limits_.maxListItems) +
                                     " items in a string list",
                                 current_.position};
            items.push_back(takeString());
        }
        advance();
        return items;
    }

    std::string takeString()
    {
        const SourcePosition start = current_.position;
        std::string text;
        for (;;) {
            if (current_.text.size() > limits_.maxStringBytes - text.size())
                throw ParseError{"string longer than " + std::to_string(limits_.maxStringBytes) +
                                     " bytes",
                                 start};
            text += current_.text;
            advance();
            if (current_.kind != TokenKind::Plus)
                return text;
            advance();
            if (current_.kind != TokenKind::String)
                fail("expected string after '+'");
        }
    }

    std::int64_t takeInteger(bool negative, SourcePosition start)
    {
        constexpr std::uint64_t maxPositive = INT64_MAX;
        const std::uint64_t magnitude = current_.magnitude;
        if (current_.outOfRange || magnitude > maxPositive + (negative ? 1 : 0))
            throw ParseError{"integer out of range", start};
        advance();
        // Two's complement wrap-around is well defined since C++20 and covers INT64_MIN.
        return negative ? static_cast<std::int64_t>(~magnitude + 1)
                        : static_cast<std::int64_t>(magnitude);
    }

    std::string takeName(const char* expected)
    {
        if (!isName())
            fail(expected);
        std::string name(current_.spelling);
        advance();
        return name;
    }

    void expect(TokenKind kind, const char* expected)
    {
        if (current_.kind != kind)
            fail(expected);
        if (kind != TokenKind::EndOfInput)
            advance();
    }

    bool isName() const { return current_.kind == TokenKind::Identifier; }

    void advance() { current_ = lexer_.next(); }

    [[noreturn]] void fail(std::string_view expected) const
    {
        throw ParseError{std::string(expected) + ", found " + describe(current_),
                         current_.position};
    }

    Lexer lexer_;
    const ParseLimits& limits_;
    Token current_;
    std::size_t objectCount_ = 0;
};

} // namespace

ParseResult parse(std::string_view text, const ParseLimits& limits)
{
    try {
        Parser parser(text, limits);
        return parser.parseDefinition();
    } catch (ParseError& error) {
        return std::move(error);
    }
}

} // namespace forms::definition
