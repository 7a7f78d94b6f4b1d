#include "formats/compound/compoundwriter.h"

namespace formats::compound {

std::vector<std::uint8_t> writeCompoundFile(const ClassId&, std::span<const StreamData>)
{
    return {};
}

} // namespace formats::compound
