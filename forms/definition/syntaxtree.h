#pragma once

// The syntax tree of a window definition: what the text says, before anything is created.
// Pure data over the standard library, so the parser can be fuzzed without a GUI.

#include <cstdint>
#include <string>
#include <vector>

namespace forms::definition {

struct SourcePosition {
    std::size_t offset = 0; // byte offset from the start of the text
    int line = 1;           // 1-based
    int column = 1;         // 1-based, in bytes
};

struct Value {
    enum class Kind {
        Integer,    // 42, -11, $00FF00
        String,     // 'text', 'it''s', #13#10, 'a' + 'b'  (UTF-8)
        Identifier, // clBlack, True, bsSingle, RichEdit1, Button2Click
        Set,        // [fsBold, fsItalic]
        StringList, // ('one' 'two')
        Binary,     // {0A1B2C}, or {@name}: bytes linked into the program under that name
    };

    Kind kind = Kind::Integer;
    std::int64_t integer = 0;        // Integer
    std::string text;                // String, Identifier
    std::vector<std::string> items;  // Set (identifiers), StringList (strings)
    std::vector<std::uint8_t> bytes; // Binary
    std::string linked;              // Binary: the name of linked bytes, which stand for `bytes`
    SourcePosition position;
};

struct Property {
    std::string name; // dotted path as written: "Font.Height", "Items.Strings"
    Value value;
    SourcePosition position;
};

struct Object {
    std::string name;                 // "Label1"
    std::string className;            // "TLabel"
    std::vector<Property> properties; // in definition order
    std::vector<Object> children;     // in definition order
    SourcePosition position;
};

} // namespace forms::definition
