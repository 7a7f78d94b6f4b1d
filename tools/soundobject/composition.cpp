#include "tools/soundobject/composition.h"

namespace soundobject {

std::vector<std::int16_t> composeRecording()
{
    return std::vector<std::int16_t>(sampleCount, 0);
}

} // namespace soundobject
