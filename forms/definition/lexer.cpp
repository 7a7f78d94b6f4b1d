#include "forms/definition/lexer.h"

#include <climits>

namespace forms::definition {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isIdentifierChar(char c)
{
    return isLetter(c) || isDigit(c);
}
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// `lower` is a keyword spelled in lower case.
bool equalsIgnoringCase(std::string_view word, std::string_view lower)
{
    if (word.size() != lower.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = (word[i] >= 'A' && word[i] <= 'Z') ? char(word[i] - 'A' + 'a') : word[i];
        if (c != lower[i])
            return false;
    }
    return true;
}

int digitValue(char c, int base)
{
    int value = 16;
    if (isDigit(c))
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

std::string describeChar(char c)
{
    if (c == '\r' || c == '\n')
        return "line break";
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F)
        return std::string{'\'', c, '\''};
    static constexpr char hex[] = "0123456789ABCDEF";
    return std::string("byte 0x") + hex[byte >> 4] + hex[byte & 0xF];
}

std::string unexpectedChar(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return std::string("unexpected ") + (byte > 0x20 && byte < 0x7F ? "character " : "") +
           describeChar(c);
}

// Spelled-out tokens are quoted in messages; a pathological one must not flood the message.
std::string quoted(std::string_view spelling)
{
    constexpr std::size_t shown = 40;
    if (spelling.size() > shown)
        return "'" + std::string(spelling.substr(0, shown)) + "...'";
    return "'" + std::string(spelling) + "'";
}

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

std::string describe(const Token& token)
{
    switch (token.kind) {
    case TokenKind::EndOfInput:
        return "end of input";
    case TokenKind::Identifier:
        return "identifier " + quoted(token.spelling);
    case TokenKind::Number:
    case TokenKind::HexNumber:
        return "number " + quoted(token.spelling);
    case TokenKind::String:
        return "string";
    default:
        return quoted(token.spelling);
    }
}

Lexer::Lexer(std::string_view text)
    : text_(text)
{
    // Editors may save the text with a UTF-8 byte order mark; columns count from after it.
    if (text_.starts_with("\xEF\xBB\xBF"))
        offset_ = lineStart_ = 3;
}

char Lexer::peek(std::size_t ahead) const
{
    return offset_ + ahead < text_.size() ? text_[offset_ + ahead] : '\0';
}

SourcePosition Lexer::positionAt(std::size_t offset) const
{
    // Columns past INT_MAX only occur in multi-gigabyte lines; clamping keeps them defined.
    const std::size_t column = offset - lineStart_ + 1;
    return {offset, line_, column > INT_MAX ? INT_MAX : static_cast<int>(column)};
}

bool Lexer::skipLineBreak()
{
    if (atEnd())
        return false;
    if (text_[offset_] == '\r')
        offset_ += peek(1) == '\n' ? 2 : 1;
    else if (text_[offset_] == '\n')
        offset_ += 1;
    else
        return false;
    lineStart_ = offset_;
    if (line_ < INT_MAX)
        ++line_;
    return true;
}

void Lexer::skipWhitespace()
{
    while (!atEnd() && isBlank(text_[offset_])) {
        if (!skipLineBreak())
            ++offset_;
    }
}

void Lexer::skipBlanksAndComments()
{
    for (;;) {
        skipWhitespace();
        if (peek() != '/' || peek(1) != '/')
            return;
        while (!atEnd() && text_[offset_] != '\r' && text_[offset_] != '\n')
            ++offset_;
    }
}

Token Lexer::next()
{
    skipBlanksAndComments();
    Token token;
    token.position = position();
    const std::size_t start = offset_;
    if (atEnd()) {
        token.kind = TokenKind::EndOfInput;
        return token;
    }

    const char c = text_[offset_];
    if (isLetter(c)) {
        readIdentifier(token);
    } else if (isDigit(c)) {
        readNumber(token, 10);
    } else if (c == '$') {
        ++offset_;
        readNumber(token, 16);
    } else if (c == '\'' || c == '#') {
        readString(token);
    } else {
        static constexpr struct {
            char c;
            TokenKind kind;
        } punctuation[] = {
            {':', TokenKind::Colon},       {'=', TokenKind::Equals},
            {'.', TokenKind::Dot},         {',', TokenKind::Comma},
            {'+', TokenKind::Plus},        {'-', TokenKind::Minus},
            {'[', TokenKind::LeftBracket}, {']', TokenKind::RightBracket},
            {'(', TokenKind::LeftParen},   {')', TokenKind::RightParen},
            {'{', TokenKind::LeftBrace},   {'}', TokenKind::RightBrace},
        };
        bool found = false;
        for (const auto& p : punctuation) {
            if (p.c == c) {
                token.kind = p.kind;
                found = true;
                break;
            }
        }
        if (!found)
            throw ParseError{unexpectedChar(c), token.position};
        ++offset_;
    }
    token.spelling = text_.substr(start, offset_ - start);
    return token;
}

void Lexer::readIdentifier(Token& token)
{
    const std::size_t start = offset_;
    while (!atEnd() && isIdentifierChar(text_[offset_]))
        ++offset_;
    // Keywords are reserved everywhere, even where a name would be unambiguous: otherwise a
    // missing value or property name would read the object's 'end' as a name.
    const std::string_view word = text_.substr(start, offset_ - start);
    if (equalsIgnoringCase(word, "object"))
        token.kind = TokenKind::KeywordObject;
    else if (equalsIgnoringCase(word, "end"))
        token.kind = TokenKind::KeywordEnd;
    else
        token.kind = TokenKind::Identifier;
}

void Lexer::rejectTrailingLetters(const char* what) const
{
    if (!atEnd() && isLetter(text_[offset_]))
        throw ParseError{std::string("invalid character ") + describeChar(text_[offset_]) + " in " +
                             what,
                         position()};
}

void Lexer::readNumber(Token& token, int base)
{
    token.kind = base == 10 ? TokenKind::Number : TokenKind::HexNumber;
    if (base == 16 && digitValue(peek(), base) < 0)
        throw ParseError{"expected hex digits after '$', found " +
                             (atEnd() ? std::string("end of input") : describeChar(peek())),
                         position()};
    const auto limit = UINT64_MAX / static_cast<std::uint64_t>(base);
    for (int digit; !atEnd() && (digit = digitValue(text_[offset_], base)) >= 0; ++offset_) {
        // Keep consuming digits after an overflow so the error covers the whole number.
        if (token.magnitude > limit ||
            token.magnitude * base > UINT64_MAX - static_cast<std::uint64_t>(digit))
            token.outOfRange = true;
        else
            token.magnitude = token.magnitude * base + digit;
    }
    rejectTrailingLetters("number");
}

void Lexer::readString(Token& token)
{
    token.kind = TokenKind::String;
    // Only parts written back to back form one string here; "'a' 'b'" is two tokens, which a
    // string list needs to tell its items apart.
    while (peek() == '\'' || peek() == '#') {
        if (peek() == '\'')
            readQuoted(token);
        else
            readCharacterCode(token);
    }
}

void Lexer::readQuoted(Token& token)
{
    const SourcePosition open = position();
    ++offset_;
    for (;;) {
        if (atEnd())
            throw ParseError{"unterminated string", open};
        const char c = text_[offset_];
        if (c == '\r' || c == '\n')
            throw ParseError{"line break inside string", open};
        if (c == '\'') {
            if (peek(1) != '\'') {
                ++offset_;
                return;
            }
            ++offset_; // a doubled quote stands for one
        }
        token.text += c;
        ++offset_;
    }
}

void Lexer::readCharacterCode(Token& token)
{
    const SourcePosition hash = position();
    ++offset_;
    int base = 10;
    const char* expected = "expected digits or '$' after '#', found ";
    if (peek() == '$') {
        ++offset_;
        base = 16;
        expected = "expected hex digits after '#$', found ";
    }
    if (digitValue(peek(), base) < 0)
        throw ParseError{expected + (atEnd() ? std::string("end of input") : describeChar(peek())),
                         position()};

    constexpr std::uint32_t maxCode = 0x10FFFF;
    std::uint32_t code = 0;
    for (int digit; !atEnd() && (digit = digitValue(text_[offset_], base)) >= 0; ++offset_) {
        // Saturate: any code past maxCode is rejected the same way however long the digits run.
        if (code <= maxCode)
            code = code * base + digit;
    }
    rejectTrailingLetters("character code");
    if (code > maxCode)
        throw ParseError{"character code out of range", hash};
    if (code >= 0xD800 && code <= 0xDFFF)
        throw ParseError{"character code is a surrogate half", hash};
    appendUtf8(token.text, code);
}

bool Lexer::atLinkedName()
{
    skipWhitespace();
    return !atEnd() && text_[offset_] == '@';
}

std::string Lexer::readLinkedName(SourcePosition open)
{
    ++offset_; // '@'
    const std::size_t start = offset_;
    if (atEnd() || !isLetter(text_[offset_]))
        throw ParseError{"expected name after '@' in binary value", position()};
    while (!atEnd() && isIdentifierChar(text_[offset_]))
        ++offset_;
    std::string name(text_.substr(start, offset_ - start));
    skipWhitespace();
    if (atEnd())
        throw ParseError{"unterminated binary value", open};
    if (text_[offset_] != '}')
        throw ParseError{"expected '}' after linked name, found " + describeChar(text_[offset_]),
                         position()};
    ++offset_;
    return name;
}

std::vector<std::uint8_t> Lexer::readBinary(std::size_t maxBytes, SourcePosition open)
{
    std::vector<std::uint8_t> bytes;
    for (;;) {
        skipWhitespace();
        if (atEnd())
            throw ParseError{"unterminated binary value", open};
        if (text_[offset_] == '}') {
            ++offset_;
            return bytes;
        }
        const int high = digitValue(text_[offset_], 16);
        if (high < 0)
            throw ParseError{"expected hex digit or '}' in binary value, found " +
                                 describeChar(text_[offset_]),
                             position()};
        const int low = digitValue(peek(1), 16);
        if (low < 0) {
            if (offset_ + 1 >= text_.size())
                throw ParseError{"unterminated binary value", open};
            const char after = text_[offset_ + 1];
            if (!isBlank(after) && after != '}')
                throw ParseError{"expected hex digit or '}' in binary value, found " +
                                     describeChar(after),
                                 positionAt(offset_ + 1)};
            throw ParseError{"odd number of hex digits in binary value", position()};
        }
        if (bytes.size() >= maxBytes)
            throw ParseError{"binary value longer than " + std::to_string(maxBytes) + " bytes",
                             open};
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        offset_ += 2;
    }
}

} // namespace forms::definition
