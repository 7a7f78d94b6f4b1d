#pragma once

#include "formats/richtext/document.h"

#include <string_view>

namespace formats::richtext {

// Collects text into paragraphs of runs, joining text of equal formatting into one run, and
// stops taking text at the capacity.
class DocumentBuilder {
public:
    explicit DocumentBuilder(std::size_t capacity);

    // Returns false when the text did not fit whole.
    bool text(std::u16string_view text, const CharFormat& format);
    bool paragraphBreak();
    bool full() const { return document_.characters >= capacity_; }
    std::size_t characters() const { return document_.characters; }

    Document take();

private:
    std::size_t capacity_;
    Document document_;
};

} // namespace formats::richtext
