#pragma once

#include <string>
#include <string_view>

namespace platform::ole {

// A stream's name as a person reads it in an error text: control characters (the \1 and \2 that
// begin the object's own streams) as a backslash and their number, the rest in UTF-8.
std::string displayName(std::u16string_view name);

} // namespace platform::ole
