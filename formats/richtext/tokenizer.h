#pragma once

#include "formats/richtext/issuelog.h"
#include "formats/richtext/limits.h"

#include <cstdint>
#include <string_view>

namespace formats::richtext {

struct Token {
    enum class Kind {
        GroupStart, // {
        GroupEnd,   // }
        Word,       // \name with an optional parameter; name is empty for an over-long word
        Symbol,     // \ and one other character; a backslash before CR or LF gives '\n'
        Hex,        // \'hh
        Text,       // a run of bytes without { } \ CR LF
        Binary,     // the bytes after \binN, untokenised
        End,
    };

    Kind kind = Kind::End;
    std::size_t offset = 0;
    std::string_view chars; // Word: the name; Text, Binary: the bytes
    std::int32_t parameter = 0;
    bool hasParameter = false;
    char symbol = 0;
    std::uint8_t byte = 0;
};

// Splits rich text into tokens. Every step moves forward through the input, so a pass over n
// bytes takes O(n) whatever they hold. Faults go to the issue log and the tokenizer goes on.
class Tokenizer {
public:
    Tokenizer(std::string_view input, const Limits& limits, IssueLog& issues);

    Token next();
    std::size_t offset() const { return pos_; }

private:
    Token controlWord(std::size_t start);
    Token controlSymbol(std::size_t start);
    bool at(char c) const { return pos_ < input_.size() && input_[pos_] == c; }

    std::string_view input_;
    const Limits& limits_;
    IssueLog& issues_;
    std::size_t pos_ = 0;
};

} // namespace formats::richtext
