// The stored value as the container takes it: the 12-byte header ("BDOC", aspect, size), the
// compound document behind it with every entry walked, and the recording object's streams read
// from it. The header is checked by the container's own reader of it.
#include "formats/compound/compoundfile.h"
#include "formats/compound/storedvalue.h"
#include "platform/ole/compoundstorage.h"
#include "platform/ole/objectstreams.h"
#include "platform/ole/oleerror.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <variant>
#include <vector>

namespace {

using formats::compound::CompoundFile;
using formats::compound::Entry;
using formats::compound::Error;

// Finding is a walk of a storage's tree: enough entries to reach every shape of tree, few enough
// that a directory of thousands does not make each run quadratic.
constexpr std::size_t entriesSearched = 64;

bool inside(std::span<const std::uint8_t> part, std::span<const std::uint8_t> whole)
{
    return part.empty() || (part.data() >= whole.data() &&
                            part.data() + part.size() <= whole.data() + whole.size());
}

void walkStream(const CompoundFile& file, std::uint32_t id, std::span<const std::uint8_t> document)
{
    const Entry& entry = file.entries()[id];
    const auto whole = file.read(id);
    const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&whole);
    if (bytes && bytes->size() != entry.size)
        std::abort();

    const std::uint64_t size = entry.size;
    const std::uint64_t offsets[] = {0,        1,        63,   64,       511,       512,
                                     size / 2, size - 1, size, size + 1, UINT64_MAX};
    std::array<std::uint8_t, 600> buffer;
    for (std::uint64_t offset : offsets) {
        const auto copied = file.readAt(id, offset, buffer);
        const auto* count = std::get_if<std::size_t>(&copied);
        if (!count)
            continue;
        const std::uint64_t expected =
            offset >= size ? 0 : std::min<std::uint64_t>(buffer.size(), size - offset);
        if (*count != expected)
            std::abort();
        if (bytes && *count && std::memcmp(buffer.data(), bytes->data() + offset, *count) != 0)
            std::abort();
    }

    if (const auto inPlace = file.contiguous(id)) {
        if (!inside(*inPlace, document) || inPlace->size() != size)
            std::abort();
        if (bytes && !std::equal(inPlace->begin(), inPlace->end(), bytes->begin(), bytes->end()))
            std::abort();
    }
}

void walkCompound(std::span<const std::uint8_t> document)
{
    auto opened = CompoundFile::open(document);
    const auto* file = std::get_if<CompoundFile>(&opened);
    if (!file)
        return;
    const auto& entries = file->entries();
    const std::size_t searched = std::min(entries.size(), entriesSearched);
    for (std::uint32_t id = 0; id < entries.size(); ++id) {
        const Entry& entry = entries[id];
        if (entry.type == Entry::Type::Stream)
            walkStream(*file, id, document);
        if ((entry.type == Entry::Type::Storage || entry.type == Entry::Type::Root) &&
            id < searched) {
            for (std::size_t other = 0; other < searched; ++other) {
                const auto found = file->find(id, entries[other].name);
                if (found && *found >= entries.size())
                    std::abort();
            }
        }
    }
}

void readObject(std::span<const std::uint8_t> document)
{
    try {
        platform::ole::CompoundStorage storage(document);
        const auto streams = platform::ole::readObjectStreams(storage);
        if (!streams.wave.samples.empty() && streams.wave.format.blockAlign() == 0)
            std::abort();
    } catch (const platform::ole::OleError&) {
        // A damaged or foreign object is refused with a code: what the container shows.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto stored = formats::compound::readStoredValue({data, size});
    const auto* value = std::get_if<formats::compound::StoredValue>(&stored);
    if (!value)
        return 0;
    // In memory of its own, as the container keeps it, so a read past the document's end is a
    // read past an allocation.
    const std::vector<std::uint8_t> document(value->document.begin(), value->document.end());
    walkCompound(document);
    readObject(document);
    return 0;
}
