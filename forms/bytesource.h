#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace forms {

// Bytes read front to back, with a way back to the start: what the text area streams in.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Fills the buffer as far as it can; 0 at the end; nothing on a read error.
    virtual std::optional<std::size_t> read(std::span<char> buffer) = 0;
    // Back to the first byte; false when that fails.
    virtual bool rewind() = 0;
};

} // namespace forms
