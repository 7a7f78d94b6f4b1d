#include "tools/soundobject/picture.h"

namespace soundobject {

formats::metafile::Bitmap drawPicture()
{
    return {32, 32, std::vector<std::uint32_t>(32 * 32, 0xFFFFFFFF)};
}

} // namespace soundobject
