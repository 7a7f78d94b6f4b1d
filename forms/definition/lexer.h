#pragma once

#include "forms/definition/parser.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace forms::definition {

enum class TokenKind {
    EndOfInput,
    Identifier,
    KeywordObject, // any case: "object", "OBJECT"
    KeywordEnd,
    Number,    // 42
    HexNumber, // $2A
    String,    // a run of directly adjacent quoted and #-parts, already decoded
    Colon,
    Equals,
    Dot,
    Comma,
    Plus,
    Minus,
    LeftBracket,
    RightBracket,
    LeftParen,
    RightParen,
    LeftBrace,
    RightBrace,
};

struct Token {
    TokenKind kind = TokenKind::EndOfInput;
    std::string_view spelling;   // the token as written
    std::string text;            // String: the decoded bytes
    std::uint64_t magnitude = 0; // Number, HexNumber: the value without sign
    bool outOfRange = false;     // Number, HexNumber: the digits do not fit 64 bits
    SourcePosition position;
};

// How an error message names a token: "identifier 'Left'", "':'", "end of input".
std::string describe(const Token& token);

// Splits definition text into tokens. Binary data is not tokenized: its digits would read as
// numbers and identifiers, so the parser hands it to readBinary() right after the '{' token.
// Malformed text throws ParseError; every loop advances through the text, so none can hang.
class Lexer {
public:
    explicit Lexer(std::string_view text);

    Token next();

    // Reads hex digit pairs up to and including the closing '}'. `open` is where the '{' was.
    std::vector<std::uint8_t> readBinary(std::size_t maxBytes, SourcePosition open);
    // Whether the binary value just opened names linked bytes ("{@name}") instead of holding
    // them; then readLinkedName() reads the name up to and including the closing '}'.
    bool atLinkedName();
    std::string readLinkedName(SourcePosition open);

private:
    bool atEnd() const { return offset_ >= text_.size(); }
    char peek(std::size_t ahead = 0) const;
    SourcePosition position() const { return positionAt(offset_); }
    SourcePosition positionAt(std::size_t offset) const;

    // Returns true when it skipped a line break ("\r\n", "\r" or "\n") at the current offset.
    bool skipLineBreak();
    void skipWhitespace();
    void skipBlanksAndComments();

    void readIdentifier(Token& token);
    void readNumber(Token& token, int base);
    void readString(Token& token);
    void readQuoted(Token& token);
    void readCharacterCode(Token& token);
    // Fails when an identifier character is glued to the digits just read ("12px").
    void rejectTrailingLetters(const char* what) const;

    std::string_view text_;
    std::size_t offset_ = 0;
    std::size_t lineStart_ = 0;
    int line_ = 1;
};

} // namespace forms::definition
