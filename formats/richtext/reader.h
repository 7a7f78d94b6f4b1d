#pragma once

#include "formats/richtext/document.h"
#include "formats/richtext/issue.h"
#include "formats/richtext/limits.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace formats::richtext {

struct ReadResult {
    // False when the input does not start with {\rtf: then the document is empty and the
    // caller takes the input as plain text.
    bool richText = false;
    Document document;
    std::vector<Issue> issues;
    std::size_t issuesDropped = 0;
};

// Reads rich text into a document. Whatever the bytes hold, it returns, in time linear in their
// number and with memory bounded by the limits; unbalanced braces and truncated input give what
// could be read.
ReadResult read(std::string_view input, const Limits& limits = {});

// The same over raw bytes, as a fuzzing entry takes them.
inline ReadResult read(const std::uint8_t* data, std::size_t size, const Limits& limits = {})
{
    return read(std::string_view(reinterpret_cast<const char*>(data), size), limits);
}

} // namespace formats::richtext
