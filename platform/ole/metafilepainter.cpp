#include "platform/ole/metafilepainter.h"

namespace platform::ole {

std::optional<formats::metafile::Error> drawMetafile(QPainter&, const QRect&,
                                                     std::span<const std::uint8_t>)
{
    return formats::metafile::Error{formats::metafile::Error::Kind::BadHeader, 0,
                                    "not implemented yet"};
}

} // namespace platform::ole
