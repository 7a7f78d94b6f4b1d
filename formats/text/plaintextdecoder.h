#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace formats::text {

// Turns plain text, fed in pieces of any size, into the text area's characters: each byte is one
// Windows-1252 character, and LF, CR and CR LF each make one line break ('\n'). A CR that ends a
// piece is remembered, not dropped, so where the pieces end never changes the text.
//
// NUL bytes become spaces: the text goes on after them and the words on either side stay apart,
// while the area still holds one character per byte.
//
// The text stops growing at the capacity (in UTF-16 units, a line break counting as one); what
// comes after is read no further.
class PlainTextDecoder {
public:
    explicit PlainTextDecoder(std::size_t capacity);

    // Returns false once the text is full, so the caller can stop reading.
    bool feed(std::string_view piece);
    bool full() const { return text_.size() >= capacity_; }
    const std::u16string& text() const { return text_; }
    std::u16string take() { return std::move(text_); }

private:
    std::size_t capacity_;
    std::u16string text_;
    bool afterCr_ = false;
};

} // namespace formats::text
