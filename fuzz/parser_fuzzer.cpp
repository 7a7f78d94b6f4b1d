// The window-definition parser over any text: it returns a tree or an error that points into the
// text, never past it.
#include "forms/definition/parser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto result = forms::definition::parse(text);
    if (const auto* error = std::get_if<forms::definition::ParseError>(&result)) {
        if (error->position.offset > size || error->position.line < 1 || error->position.column < 1)
            std::abort();
    }
    return 0;
}
