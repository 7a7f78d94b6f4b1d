#include "forms/serverswitch.h"

#include <array>
#include <utility>

namespace forms {

namespace {

char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool isSwitch(std::string_view argument, std::string_view word)
{
    if (argument.size() != word.size() + 1 || (argument[0] != '-' && argument[0] != '/'))
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (asciiUpper(argument[i + 1]) != word[i])
            return false;
    }
    return true;
}

} // namespace

ServerSwitch findServerSwitch(std::span<const std::string_view> arguments)
{
    static constexpr std::array<std::pair<std::string_view, ServerSwitch>, 4> words = {{
        {"AUTOMATION", ServerSwitch::Automation},
        {"EMBEDDING", ServerSwitch::Embedding},
        {"REGSERVER", ServerSwitch::RegServer},
        {"UNREGSERVER", ServerSwitch::UnregServer},
    }};
    for (const auto& [word, result] : words) {
        for (std::string_view argument : arguments) {
            if (isSwitch(argument, word))
                return result;
        }
    }
    return ServerSwitch::None;
}

} // namespace forms
