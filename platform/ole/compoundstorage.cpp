#include "platform/ole/compoundstorage.h"

#include "platform/ole/oleerror.h"
#include "platform/ole/streamname.h"

#include <variant>

namespace platform::ole {

namespace {

using formats::compound::CompoundFile;
using formats::compound::Entry;
using formats::compound::Error;

std::uint32_t codeOf(const Error& error)
{
    switch (error.kind) {
    case Error::Kind::BadSignature:
        return codes::InvalidHeader;
    case Error::Kind::NotFound:
        return codes::FileNotFound;
    default:
        return codes::DocfileCorrupt;
    }
}

CompoundFile openOrThrow(std::span<const std::uint8_t> document)
{
    auto result = CompoundFile::open(document);
    if (auto* error = std::get_if<Error>(&result))
        throw OleError(codeOf(*error), error->message);
    return std::get<CompoundFile>(std::move(result));
}

} // namespace

CompoundStorage::CompoundStorage(std::span<const std::uint8_t> document)
    : file_(openOrThrow(document))
{}

formats::compound::ClassId CompoundStorage::classId() const
{
    return file_.root().classId;
}

std::span<const std::uint8_t> CompoundStorage::stream(std::u16string_view name)
{
    const std::optional<std::uint32_t> id = file_.find(0, name);
    if (!id || *id >= file_.entries().size() || file_.entries()[*id].type != Entry::Type::Stream)
        throw OleError(codes::FileNotFound, "Kein Stream " + displayName(name));

    if (auto found = gathered_.find(*id); found != gathered_.end())
        return found->second;
    if (auto inPlace = file_.contiguous(*id))
        return *inPlace;

    auto read = file_.read(*id);
    if (auto* error = std::get_if<Error>(&read)) {
        // The entry was found, so a reader that cannot find its data says the document is damaged.
        const std::uint32_t code =
            error->kind == Error::Kind::NotFound ? codes::DocfileCorrupt : codeOf(*error);
        throw OleError(code, "Stream " + displayName(name) + ": " + error->message);
    }
    return gathered_.emplace(*id, std::get<std::vector<std::uint8_t>>(std::move(read)))
        .first->second;
}

} // namespace platform::ole
