#include "platform/ole/objectstreams.h"
#include "platform/ole/oleobject.h"
#include "platform/ole/pulsesoundoutput.h"
#include "platform/ole/wavesoundobject.h"

namespace platform::ole {

std::unique_ptr<OleObject> loadObject(Storage& storage, ClientSite& site)
{
    return std::make_unique<WaveSoundObject>(readObjectStreams(storage), site,
                                             std::make_unique<PulseSoundOutput>());
}

} // namespace platform::ole
