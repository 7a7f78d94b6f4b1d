#include "formats/richtext/tokenizer.h"

#include <algorithm>

namespace formats::richtext {

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Text runs up to a brace, a backslash or a bare line break.
bool endsText(char c)
{
    return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Tokenizer::Tokenizer(std::string_view input, const Limits& limits, IssueLog& issues)
    : input_(input)
    , limits_(limits)
    , issues_(issues)
{}

Token Tokenizer::next()
{
    // Bare line breaks are not text in rich text.
    while (pos_ < input_.size() && (input_[pos_] == '\r' || input_[pos_] == '\n'))
        ++pos_;
    Token t;
    t.offset = pos_;
    if (pos_ >= input_.size())
        return t;
    switch (input_[pos_]) {
    case '{':
        ++pos_;
        t.kind = Token::Kind::GroupStart;
        return t;
    case '}':
        ++pos_;
        t.kind = Token::Kind::GroupEnd;
        return t;
    case '\\': {
        const std::size_t start = pos_++;
        if (pos_ >= input_.size()) {
            issues_.add({Issue::Kind::TruncatedEscape, start});
            t.kind = Token::Kind::End;
            return t;
        }
        return isLetter(input_[pos_]) ? controlWord(start) : controlSymbol(start);
    }
    default: {
        std::size_t stop = pos_;
        while (stop < input_.size() && !endsText(input_[stop]))
            ++stop;
        t.kind = Token::Kind::Text;
        t.chars = input_.substr(pos_, stop - pos_);
        pos_ = stop;
        return t;
    }
    }
}

Token Tokenizer::controlWord(std::size_t start)
{
    Token t;
    t.kind = Token::Kind::Word;
    t.offset = start;
    const std::size_t nameStart = pos_;
    while (pos_ < input_.size() && isLetter(input_[pos_]))
        ++pos_;
    const std::size_t length = pos_ - nameStart;
    if (length > limits_.maxWordLength) {
        issues_.add({Issue::Kind::WordTooLong, start, std::int64_t(length),
                     std::int64_t(limits_.maxWordLength)});
    } else {
        t.chars = input_.substr(nameStart, length);
    }

    const bool negative = at('-') && pos_ + 1 < input_.size() && isDigit(input_[pos_ + 1]);
    if (negative)
        ++pos_;
    if (pos_ < input_.size() && isDigit(input_[pos_])) {
        // Saturate while reading so that any number of digits stays a bounded value.
        constexpr std::int64_t ceiling = std::int64_t(1) << 40;
        std::int64_t value = 0;
        while (pos_ < input_.size() && isDigit(input_[pos_])) {
            value = std::min(ceiling, value * 10 + (input_[pos_] - '0'));
            ++pos_;
        }
        if (negative)
            value = -value;
        const std::int64_t clamped =
            std::clamp<std::int64_t>(value, limits_.minParameter, limits_.maxParameter);
        if (clamped != value)
            issues_.add({Issue::Kind::ParameterOutOfRange, start, value, clamped});
        t.parameter = std::int32_t(clamped);
        t.hasParameter = true;
    }
    if (at(' '))
        ++pos_;

    if (t.chars == "bin") {
        const std::size_t left = input_.size() - pos_;
        std::int64_t count = t.hasParameter ? t.parameter : 0;
        if (count < 0) {
            issues_.add({Issue::Kind::NegativeBinary, start, count, 0});
            count = 0;
        } else if (std::uint64_t(count) > left) {
            issues_.add({Issue::Kind::BinaryPastEnd, start, count, std::int64_t(left)});
            count = std::int64_t(left);
        }
        t.kind = Token::Kind::Binary;
        t.chars = input_.substr(pos_, std::size_t(count));
        pos_ += std::size_t(count);
    }
    return t;
}

Token Tokenizer::controlSymbol(std::size_t start)
{
    Token t;
    t.offset = start;
    const char c = input_[pos_++];
    if (c == '\'') {
        const int high = pos_ < input_.size() ? hexValue(input_[pos_]) : -1;
        const int low = pos_ + 1 < input_.size() ? hexValue(input_[pos_ + 1]) : -1;
        if (high < 0 || low < 0) {
            // Nothing for the escape itself; what follows is read as it is.
            issues_.add({Issue::Kind::BadHexEscape, start});
            t.kind = Token::Kind::Text;
            return t;
        }
        pos_ += 2;
        t.kind = Token::Kind::Hex;
        t.byte = std::uint8_t(high * 16 + low);
        return t;
    }
    t.kind = Token::Kind::Symbol;
    if (c == '\r' || c == '\n') {
        // \ before a line break is a paragraph; CR LF counts as one.
        if (c == '\r' && at('\n'))
            ++pos_;
        t.symbol = '\n';
        return t;
    }
    t.symbol = c;
    return t;
}

} // namespace formats::richtext
