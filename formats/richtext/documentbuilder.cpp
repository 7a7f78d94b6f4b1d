#include "formats/richtext/documentbuilder.h"

#include <algorithm>

namespace formats::richtext {

DocumentBuilder::DocumentBuilder(std::size_t capacity)
    : capacity_(capacity)
{
    document_.paragraphs.emplace_back();
}

bool DocumentBuilder::text(std::u16string_view text, const CharFormat& format)
{
    const std::size_t room = capacity_ - std::min(capacity_, document_.characters);
    const std::size_t taken = std::min(room, text.size());
    if (taken == 0)
        return text.empty();
    auto& runs = document_.paragraphs.back().runs;
    if (runs.empty() || !(runs.back().format == format))
        runs.push_back({{}, format});
    runs.back().text.append(text.substr(0, taken));
    document_.characters += taken;
    return taken == text.size();
}

bool DocumentBuilder::paragraphBreak()
{
    if (full())
        return false;
    document_.paragraphs.emplace_back();
    ++document_.characters;
    return true;
}

Document DocumentBuilder::take()
{
    Document d = std::move(document_);
    document_ = {};
    document_.paragraphs.emplace_back();
    return d;
}

} // namespace formats::richtext
