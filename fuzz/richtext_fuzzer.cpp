// Rich text as the text area loads it: reading stops at the area's capacity, as in the program.
#include "formats/richtext/reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The text area's capacity; the program's loader passes the same bound.
constexpr std::size_t textAreaCapacity = 65536;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    formats::richtext::Limits limits;
    limits.capacity = textAreaCapacity;
    const auto result = formats::richtext::read(data, size, limits);

    // Not rich text: the caller takes the bytes as plain text, and the document stays empty.
    const auto& document = result.document;
    if (!result.richText)
        return document.paragraphs.empty() && document.characters == 0 ? 0 : (std::abort(), 0);

    // The document the reader promises: at least one paragraph, its count of characters true
    // and within the capacity. A wrong count would let the text area overflow its bound.
    if (document.paragraphs.empty())
        std::abort();
    std::size_t characters = document.paragraphs.size() - 1;
    for (const auto& paragraph : document.paragraphs)
        for (const auto& run : paragraph.runs)
            characters += run.text.size();
    if (characters != document.characters || characters > textAreaCapacity)
        std::abort();
    if (result.issues.size() > limits.maxIssues)
        std::abort();
    return 0;
}
