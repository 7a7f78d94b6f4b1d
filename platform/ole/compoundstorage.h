#pragma once

#include "formats/compound/compoundfile.h"
#include "platform/ole/storage.h"

#include <cstdint>
#include <map>
#include <vector>

namespace platform::ole {

// A storage read from a compound document held in memory, which must outlive it: the root
// storage and the streams directly beneath it.
class CompoundStorage : public Storage {
public:
    // Throws OleError (codes::InvalidHeader, codes::DocfileCorrupt) with the reader's words.
    explicit CompoundStorage(std::span<const std::uint8_t> document);

    formats::compound::ClassId classId() const override;
    std::span<const std::uint8_t> stream(std::u16string_view name) override;

private:
    formats::compound::CompoundFile file_;
    // Scattered streams by entry id, each gathered once; a map node never moves, so the spans
    // handed out stay valid.
    std::map<std::uint32_t, std::vector<std::uint8_t>> gathered_;
};

} // namespace platform::ole
