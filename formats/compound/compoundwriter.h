#pragma once

#include "formats/compound/compoundfile.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace formats::compound {

struct StreamData {
    std::u16string name;
    std::span<const std::uint8_t> bytes;
};

// A version-3 compound document (512-byte sectors, 64-byte mini sectors, cut-off 4096) whose
// root storage, of class `rootClass`, holds `streams`. Streams of 4096 bytes and more are placed
// whole, in consecutive sectors. The output depends on nothing but the arguments: no times, no
// uninitialised padding. Throws std::invalid_argument for a name that is empty or longer than 31
// units, for two streams whose names compare equal, and for sizes the version cannot hold.
std::vector<std::uint8_t> writeCompoundFile(const ClassId& rootClass,
                                            std::span<const StreamData> streams);

} // namespace formats::compound
