#include "formats/compound/compoundwriter.h"

#include "formats/bytes/littleendian.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <stdexcept>

namespace formats::compound {

namespace {

using formats::bytes::storeLe16;
using formats::bytes::storeLe32;
using formats::bytes::storeLe64;

constexpr std::uint32_t sectorShift = 9;
constexpr std::size_t sectorSize = std::size_t(1) << sectorShift;
constexpr std::uint32_t miniShift = 6;
constexpr std::size_t miniSize = std::size_t(1) << miniShift;
constexpr std::size_t cutoff = 4096;
constexpr std::size_t perFatSector = sectorSize / 4;
constexpr std::size_t perDifatSector = perFatSector - 1;
constexpr std::size_t headerFatNumbers = 109;
constexpr std::size_t entrySize = 128;
constexpr std::size_t perDirectorySector = sectorSize / entrySize;

std::size_t unitsFor(std::size_t size, std::size_t unit)
{
    return (size + unit - 1) / unit;
}

struct Placed {
    std::uint32_t start = EndOfChain;
    std::uint32_t left = NoStream;
    std::uint32_t right = NoStream;
};

// Builds a balanced search tree over `sorted[first, last)` (directory ids) and returns its top.
std::uint32_t balance(const std::vector<std::uint32_t>& sorted, std::size_t first, std::size_t last,
                      std::vector<Placed>& placed)
{
    if (first == last)
        return NoStream;
    const std::size_t middle = first + (last - first) / 2;
    const std::uint32_t id = sorted[middle];
    placed[id].left = balance(sorted, first, middle, placed);
    placed[id].right = balance(sorted, middle + 1, last, placed);
    return id;
}

void writeEntry(std::uint8_t* at, std::u16string_view name, std::uint8_t type, const Placed& placed,
                std::uint32_t child, const ClassId* classId, std::uint64_t size)
{
    for (std::size_t i = 0; i < name.size(); ++i)
        storeLe16(at + i * 2, name[i]);
    storeLe16(at + 64, std::uint32_t((name.size() + 1) * 2));
    at[66] = type;
    at[67] = 1; // black: a tree with no red nodes is valid
    storeLe32(at + 68, placed.left);
    storeLe32(at + 72, placed.right);
    storeLe32(at + 76, child);
    if (classId)
        std::memcpy(at + 80, classId->data(), classId->size());
    storeLe32(at + 116, placed.start);
    storeLe64(at + 120, size);
}

} // namespace

std::vector<std::uint8_t> writeCompoundFile(const ClassId& rootClass,
                                            std::span<const StreamData> streams)
{
    for (std::size_t i = 0; i < streams.size(); ++i) {
        if (streams[i].name.empty() || streams[i].name.size() > 31)
            throw std::invalid_argument("a stream name must have 1 to 31 characters");
        if (streams[i].bytes.size() > 0xFFFFFFFFu)
            throw std::invalid_argument("a version 3 stream holds less than 4 GiB");
        for (std::size_t j = 0; j < i; ++j) {
            if (compareNames(streams[i].name, streams[j].name) == 0)
                throw std::invalid_argument("two streams of one name");
        }
    }

    // Sizes of every part, in sectors.
    std::size_t miniSectors = 0;
    std::size_t bigSectors = 0;
    for (const StreamData& s : streams) {
        if (s.bytes.size() < cutoff)
            miniSectors += unitsFor(s.bytes.size(), miniSize);
        else
            bigSectors += unitsFor(s.bytes.size(), sectorSize);
    }
    const std::size_t miniStreamSectors = unitsFor(miniSectors * miniSize, sectorSize);
    const std::size_t miniFatSectors = unitsFor(miniSectors, perFatSector);
    const std::size_t directorySectors = unitsFor(streams.size() + 1, perDirectorySector);
    const std::size_t content = directorySectors + miniFatSectors + miniStreamSectors + bigSectors;
    // The table must also cover its own sectors and the DIFAT's.
    std::size_t fatSectors = 1;
    std::size_t difatSectors = 0;
    for (;; ++fatSectors) {
        difatSectors = fatSectors > headerFatNumbers
                           ? unitsFor(fatSectors - headerFatNumbers, perDifatSector)
                           : 0;
        if (fatSectors * perFatSector >= content + fatSectors + difatSectors)
            break;
    }
    const std::size_t total = content + fatSectors + difatSectors;
    if (total > MaxRegSect)
        throw std::invalid_argument("too large for a version 3 compound document");

    // Placement: the tables, the directory, the mini table and mini stream, then every big
    // stream whole.
    const std::uint32_t firstFat = 0;
    const std::uint32_t firstDifat = std::uint32_t(firstFat + fatSectors);
    const std::uint32_t firstDirectory = std::uint32_t(firstDifat + difatSectors);
    const std::uint32_t firstMiniFat = std::uint32_t(firstDirectory + directorySectors);
    const std::uint32_t firstMiniStream = std::uint32_t(firstMiniFat + miniFatSectors);
    std::uint32_t nextBig = std::uint32_t(firstMiniStream + miniStreamSectors);

    std::vector<std::uint8_t> out((total + 1) * sectorSize, 0);
    auto sector = [&](std::size_t n) { return out.data() + (n + 1) * sectorSize; };

    std::vector<std::uint32_t> fat(fatSectors * perFatSector, FreeSect);
    auto chain = [&](std::size_t first, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            fat[first + i] = i + 1 < count ? std::uint32_t(first + i + 1) : EndOfChain;
    };
    for (std::size_t i = 0; i < fatSectors; ++i)
        fat[firstFat + i] = FatSect;
    for (std::size_t i = 0; i < difatSectors; ++i)
        fat[firstDifat + i] = DifSect;
    chain(firstDirectory, directorySectors);
    chain(firstMiniFat, miniFatSectors);
    chain(firstMiniStream, miniStreamSectors);

    std::vector<std::uint32_t> miniFat(miniFatSectors * perFatSector, FreeSect);
    std::vector<Placed> placed(streams.size() + 1);
    std::uint32_t nextMini = 0;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::span<const std::uint8_t> bytes = streams[i].bytes;
        Placed& p = placed[i + 1];
        if (bytes.empty())
            continue;
        if (bytes.size() < cutoff) {
            const std::size_t count = unitsFor(bytes.size(), miniSize);
            p.start = nextMini;
            for (std::size_t k = 0; k < count; ++k)
                miniFat[nextMini + k] =
                    k + 1 < count ? std::uint32_t(nextMini + k + 1) : EndOfChain;
            const std::size_t position = std::size_t(nextMini) * miniSize;
            std::memcpy(sector(firstMiniStream) + position, bytes.data(), bytes.size());
            nextMini += std::uint32_t(count);
        } else {
            const std::size_t count = unitsFor(bytes.size(), sectorSize);
            p.start = nextBig;
            chain(nextBig, count);
            std::memcpy(sector(nextBig), bytes.data(), bytes.size());
            nextBig += std::uint32_t(count);
        }
    }

    // The directory: the root, then the streams in the order given, as one search tree.
    std::vector<std::uint32_t> sorted(streams.size());
    std::iota(sorted.begin(), sorted.end(), 1u);
    std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
        return compareNames(streams[a - 1].name, streams[b - 1].name) < 0;
    });
    const std::uint32_t top = balance(sorted, 0, sorted.size(), placed);
    Placed root;
    root.start = miniSectors ? firstMiniStream : EndOfChain;
    // The mini stream's size counts whole mini sectors, so readers keep the last one.
    writeEntry(sector(firstDirectory), u"Root Entry", 5, root, top, &rootClass,
               miniSectors * miniSize);
    for (std::size_t i = 0; i < streams.size(); ++i)
        writeEntry(sector(firstDirectory) + (i + 1) * entrySize, streams[i].name, 2, placed[i + 1],
                   NoStream, nullptr, streams[i].bytes.size());
    for (std::size_t id = streams.size() + 1; id < directorySectors * perDirectorySector; ++id) {
        std::uint8_t* at = sector(firstDirectory) + id * entrySize;
        storeLe32(at + 68, NoStream);
        storeLe32(at + 72, NoStream);
        storeLe32(at + 76, NoStream);
    }

    for (std::size_t i = 0; i < miniFat.size(); ++i)
        storeLe32(sector(firstMiniFat) + i * 4, miniFat[i]);
    for (std::size_t i = 0; i < fat.size(); ++i)
        storeLe32(sector(firstFat) + i * 4, fat[i]);

    // FAT sector numbers: 109 in the header, the rest in the DIFAT chain.
    std::uint8_t* header = out.data();
    for (std::size_t i = 0; i < headerFatNumbers; ++i)
        storeLe32(header + 76 + i * 4, i < fatSectors ? std::uint32_t(firstFat + i) : FreeSect);
    for (std::size_t d = 0; d < difatSectors; ++d) {
        std::uint8_t* at = sector(firstDifat + d);
        for (std::size_t i = 0; i < perDifatSector; ++i) {
            const std::size_t n = headerFatNumbers + d * perDifatSector + i;
            storeLe32(at + i * 4, n < fatSectors ? std::uint32_t(firstFat + n) : FreeSect);
        }
        storeLe32(at + perDifatSector * 4,
                  d + 1 < difatSectors ? std::uint32_t(firstDifat + d + 1) : EndOfChain);
    }

    const std::uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(header, signature, sizeof signature);
    storeLe16(header + 24, 0x003E);
    storeLe16(header + 26, 3);
    storeLe16(header + 28, 0xFFFE);
    storeLe16(header + 30, sectorShift);
    storeLe16(header + 32, miniShift);
    storeLe32(header + 44, std::uint32_t(fatSectors));
    storeLe32(header + 48, firstDirectory);
    storeLe32(header + 56, cutoff);
    storeLe32(header + 60, miniFatSectors ? firstMiniFat : EndOfChain);
    storeLe32(header + 64, std::uint32_t(miniFatSectors));
    storeLe32(header + 68, difatSectors ? firstDifat : EndOfChain);
    storeLe32(header + 72, std::uint32_t(difatSectors));
    return out;
}

} // namespace formats::compound
