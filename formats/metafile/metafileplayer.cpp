#include "formats/metafile/metafileplayer.h"

namespace formats::metafile {

std::optional<Error> play(std::span<const std::uint8_t>, Canvas&)
{
    return Error{Error::Kind::BadHeader, 0, "not implemented yet"};
}

std::vector<std::uint8_t> writePictureMetafile(const Bitmap&, std::int32_t, std::int32_t)
{
    return {};
}

} // namespace formats::metafile
