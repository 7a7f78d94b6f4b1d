#pragma once

#include "formats/metafile/metafileplayer.h"

namespace soundobject {

// The recording's cached picture: 32 x 32, drawn in code.
formats::metafile::Bitmap drawPicture();

} // namespace soundobject
