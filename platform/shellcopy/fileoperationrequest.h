#pragma once

#include <cstdint>
#include <string>

namespace shellcopy {

// A shell file-operation request, field for field as programs hand it to the shell. The name
// lists are bytes: each name ends with a NUL and the list with a second one.
struct FileOperationRequest {
    enum Operation : std::uint32_t { Move = 1, Copy = 2, Delete = 3, Rename = 4 };

    // Stands for the window that owns the shell's dialogs; never looked into.
    const void* owner = nullptr;
    std::uint32_t operation = 0;
    std::string from;
    std::string to;
    std::uint16_t flags = 0;
    // Set by the operation when the user cancelled part of it.
    bool anyOperationsAborted = false;
    void* nameMappings = nullptr;
    const char* progressTitle = nullptr;
};

} // namespace shellcopy
