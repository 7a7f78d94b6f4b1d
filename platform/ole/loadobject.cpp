#include "platform/ole/oleerror.h"
#include "platform/ole/oleobject.h"

namespace platform::ole {

std::unique_ptr<OleObject> loadObject(Storage&, ClientSite&)
{
    throw OleError(codes::ClassNotRegistered, "not implemented yet");
}

} // namespace platform::ole
