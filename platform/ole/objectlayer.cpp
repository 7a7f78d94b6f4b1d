#include "platform/ole/objectlayer.h"

#include "platform/ole/compoundstorage.h"

namespace platform::ole {

namespace {

class SystemObjectLayer final : public ObjectLayer {
public:
    std::unique_ptr<Storage> openStorage(std::span<const std::uint8_t> document) override
    {
        return std::make_unique<CompoundStorage>(document);
    }
    std::unique_ptr<OleObject> loadObject(Storage& storage, ClientSite& site) override
    {
        return platform::ole::loadObject(storage, site);
    }
};

ObjectLayer* replacement = nullptr;

} // namespace

ObjectLayer& ObjectLayer::current()
{
    static SystemObjectLayer system;
    return replacement ? *replacement : system;
}

void ObjectLayer::setCurrent(ObjectLayer* layer)
{
    replacement = layer;
}

} // namespace platform::ole
