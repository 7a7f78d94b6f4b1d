#pragma once

#include "formats/metafile/metafileplayer.h"

#include <QRect>

#include <optional>
#include <span>

class QPainter;

namespace platform::ole {

// Plays a metafile with `painter`, its window stretched over `target` (device pixels).
// Nothing is drawn outside `target`. Returns the player's error for a damaged metafile, having
// drawn what came before the damage.
std::optional<formats::metafile::Error> drawMetafile(QPainter& painter, const QRect& target,
                                                     std::span<const std::uint8_t> metafile);

} // namespace platform::ole
