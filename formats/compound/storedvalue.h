#pragma once

#include "formats/bytes/littleendian.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <variant>

namespace formats::compound {

// An embedded object as a container stores it: a 12-byte header (the signature "BDOC", the
// draw aspect, the size of what follows), then the object's storage as a compound document.
struct StoredValue {
    std::uint32_t aspect = 0;
    std::span<const std::uint8_t> document; // a view into the bytes read
};

enum class StoredValueFault {
    Short,         // shorter than its header, or than the size the header gives
    NotStoredValue // another signature
};

inline std::variant<StoredValue, StoredValueFault>
readStoredValue(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 12)
        return StoredValueFault::Short;
    if (std::memcmp(bytes.data(), "BDOC", 4) != 0)
        return StoredValueFault::NotStoredValue;
    const std::uint32_t size = bytes::le32(bytes, 8);
    if (size > bytes.size() - 12)
        return StoredValueFault::Short;
    return StoredValue{bytes::le32(bytes, 4), bytes.subspan(12, size)};
}

} // namespace formats::compound
