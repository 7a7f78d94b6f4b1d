#pragma once

#include <span>
#include <string_view>

namespace forms {

// The switches with which a program that serves embedded objects is started by the system.
enum class ServerSwitch { None, Automation, Embedding, RegServer, UnregServer };

// Finds the switch that decides how an object server starts. An argument is a switch when it is
// "-" or "/" followed by the whole word, in any ASCII case. The words are looked for in the
// order of the enumeration, each across all arguments, so "/embedding /automation" means
// Automation. The arguments are those after the program's name, untouched by any toolkit.
ServerSwitch findServerSwitch(std::span<const std::string_view> arguments);

} // namespace forms
