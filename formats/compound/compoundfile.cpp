#include "formats/compound/compoundfile.h"

namespace formats::compound {

std::variant<CompoundFile, Error> CompoundFile::open(std::span<const std::uint8_t>)
{
    return Error{Error::Kind::BadSignature, 0, "not implemented yet"};
}

std::optional<std::uint32_t> CompoundFile::find(std::uint32_t, std::u16string_view) const
{
    return std::nullopt;
}

std::variant<std::size_t, Error> CompoundFile::readAt(std::uint32_t, std::uint64_t,
                                                      std::span<std::uint8_t>) const
{
    return Error{Error::Kind::NotFound, 0, "not implemented yet"};
}

std::variant<std::vector<std::uint8_t>, Error> CompoundFile::read(std::uint32_t) const
{
    return Error{Error::Kind::NotFound, 0, "not implemented yet"};
}

std::optional<std::span<const std::uint8_t>> CompoundFile::contiguous(std::uint32_t) const
{
    return std::nullopt;
}

} // namespace formats::compound
