#include "platform/ole/compoundstorage.h"

#include "platform/ole/oleerror.h"

namespace platform::ole {

namespace {
formats::compound::CompoundFile openOrThrow(std::span<const std::uint8_t> document)
{
    auto result = formats::compound::CompoundFile::open(document);
    if (auto* error = std::get_if<formats::compound::Error>(&result))
        throw OleError(codes::InvalidHeader, error->message);
    return std::get<formats::compound::CompoundFile>(std::move(result));
}
} // namespace

CompoundStorage::CompoundStorage(std::span<const std::uint8_t> document)
    : file_(openOrThrow(document))
{}

formats::compound::ClassId CompoundStorage::classId() const
{
    return file_.root().classId;
}

std::span<const std::uint8_t> CompoundStorage::stream(std::u16string_view)
{
    throw OleError(codes::FileNotFound, "not implemented yet");
}

} // namespace platform::ole
