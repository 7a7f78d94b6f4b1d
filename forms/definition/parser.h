#pragma once

#include "syntaxtree.h"

#include <string>
#include <string_view>
#include <variant>

namespace forms::definition {

struct ParseError {
    std::string message; // English, for developers: what was expected and what was found
    SourcePosition position;
};

// Limits that keep hostile or broken text from exhausting the stack or memory.
struct ParseLimits {
    int maxDepth = 64;                    // nesting of objects
    std::size_t maxStringBytes = 1 << 20; // one string value after concatenation
    std::size_t maxListItems = 65536;     // items of a set or a string list
    std::size_t maxBinaryBytes = 16 << 20;
    std::size_t maxObjects = 10000; // in the whole definition
};

using ParseResult = std::variant<Object, ParseError>;

// Parses one definition: exactly one root object, followed only by blanks and comments.
ParseResult parse(std::string_view text, const ParseLimits& limits = {});

} // namespace forms::definition
