#pragma once

#include "platform/ole/oleobject.h"
#include "platform/ole/storage.h"

#include <cstdint>
#include <memory>
#include <span>

namespace platform::ole {

// How a container gets from stored bytes to a live object: open the bytes as a storage, then
// load the object kept in it. Containers reach the layer only through this, so tests can put a
// recording layer in its place.
class ObjectLayer {
public:
    virtual ~ObjectLayer() = default;

    // The storage kept in `document`, which must outlive it. Throws OleError.
    virtual std::unique_ptr<Storage> openStorage(std::span<const std::uint8_t> document) = 0;
    // Throws OleError.
    virtual std::unique_ptr<OleObject> loadObject(Storage& storage, ClientSite& site) = 0;

    // The layer in use: the real one unless a test replaced it. Passing nothing restores it.
    static ObjectLayer& current();
    static void setCurrent(ObjectLayer* layer);
};

} // namespace platform::ole
