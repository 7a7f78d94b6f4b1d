#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace shellcopy {

// A list of names, each ended by a NUL, the list ended by a second NUL.
class NameList {
public:
    struct Result {
        std::vector<std::string> names;
        bool ok = false;
        // Where the list went wrong: the offset at which the terminating NUL was looked for.
        std::size_t errorOffset = 0;
    };

    // Reads at most bytes.size() bytes; a list that does not end inside them is an error.
    static Result parse(std::string_view bytes);
};

} // namespace shellcopy
