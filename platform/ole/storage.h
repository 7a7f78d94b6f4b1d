#pragma once

#include "formats/compound/compoundfile.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace platform::ole {

// An object's storage: its class and its streams by name. Objects read their streams through
// this, so tests can hand them a storage held in memory.
class Storage {
public:
    virtual ~Storage() = default;
    virtual formats::compound::ClassId classId() const = 0;
    // The stream's bytes, valid as long as the storage lives. A stream whose sectors lie in one
    // piece is given in place; only a scattered one is gathered into memory of the storage's.
    // Throws OleError (codes::FileNotFound) when there is no such stream, and
    // (codes::DocfileCorrupt) when it cannot be read.
    virtual std::span<const std::uint8_t> stream(std::u16string_view name) = 0;
};

} // namespace platform::ole
