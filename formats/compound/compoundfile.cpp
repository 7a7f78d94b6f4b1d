#include "formats/compound/compoundfile.h"

#include "formats/bytes/littleendian.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace formats::compound {

namespace {

using formats::bytes::le16;
using formats::bytes::le32;
using formats::bytes::le64;

constexpr std::uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t headerSize = 512;
constexpr std::size_t headerFatNumbers = 109;
constexpr std::size_t entrySize = 128;

std::string hex(std::uint32_t v)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", v);
    return text;
}

std::string num(std::uint64_t v)
{
    return std::to_string(v);
}

Error error(Error::Kind kind, std::size_t offset, std::string message)
{
    return Error{kind, offset, std::move(message) + " (at byte " + num(offset) + ")"};
}

// The format's own case folding for names: one UTF-16 unit at a time. Latin letters, including
// the Latin-1 supplement, are all our documents use; other units compare as they are.
char16_t upper(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return char16_t(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return char16_t(c - 0x20);
    if (c == 0xFF)
        return 0x178;
    return c;
}

std::uint64_t unitsFor(std::uint64_t size, std::uint32_t shift)
{
    return (size >> shift) + ((size & ((std::uint64_t(1) << shift) - 1)) != 0);
}

} // namespace

int compareNames(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char16_t x = upper(a[i]);
        const char16_t y = upper(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

std::variant<CompoundFile, Error> CompoundFile::open(std::span<const std::uint8_t> bytes)
{
    CompoundFile file;
    file.bytes_ = bytes;
    std::optional<Error> failed = file.readHeader();
    if (!failed)
        failed = file.readFat();
    if (!failed)
        failed = file.readDirectory();
    if (!failed)
        failed = file.checkTree();
    if (!failed)
        failed = file.readMiniFat();
    if (!failed)
        failed = file.readStreams();
    if (failed)
        return *failed;
    file.used_ = {};
    file.miniUsed_ = {};
    return file;
}

std::optional<Error> CompoundFile::readHeader()
{
    if (bytes_.size() < sizeof signature)
        return error(Error::Kind::Truncated, bytes_.size(),
                     "only " + num(bytes_.size()) + " bytes, too short for a signature");
    if (!std::equal(std::begin(signature), std::end(signature), bytes_.begin()))
        return error(Error::Kind::BadSignature, 0, "no compound document signature");
    if (bytes_.size() < headerSize)
        return error(Error::Kind::Truncated, bytes_.size(),
                     "only " + num(bytes_.size()) + " bytes, the header needs 512");

    majorVersion_ = le16(bytes_, 26);
    if (majorVersion_ != 3 && majorVersion_ != 4)
        return error(Error::Kind::BadHeader, 26, "major version " + num(majorVersion_));
    if (const std::uint16_t order = le16(bytes_, 28); order != 0xFFFE)
        return error(Error::Kind::BadHeader, 28, "byte order mark " + hex(order));
    sectorShift_ = le16(bytes_, 30);
    if (sectorShift_ != (majorVersion_ == 3 ? 9u : 12u))
        return error(Error::Kind::BadHeader, 30,
                     "sector shift " + num(sectorShift_) + " in version " + num(majorVersion_));
    miniSectorShift_ = le16(bytes_, 32);
    if (miniSectorShift_ != 6)
        return error(Error::Kind::BadHeader, 32, "mini sector shift " + num(miniSectorShift_));
    if (majorVersion_ == 3 && le32(bytes_, 40) != 0)
        return error(Error::Kind::BadHeader, 40,
                     "directory sector count " + num(le32(bytes_, 40)) + " in version 3");
    miniStreamCutoff_ = le32(bytes_, 56);
    if (miniStreamCutoff_ != 4096)
        return error(Error::Kind::BadHeader, 56, "mini stream cut-off " + num(miniStreamCutoff_));

    const std::size_t sectorSize = std::size_t(1) << sectorShift_;
    if (bytes_.size() < sectorSize)
        return error(Error::Kind::Truncated, bytes_.size(),
                     "only " + num(bytes_.size()) + " bytes, the header sector needs " +
                         num(sectorSize));
    sectorCount_ = std::uint32_t(std::min<std::size_t>((bytes_.size() - sectorSize) >> sectorShift_,
                                                       MaxRegSect + std::size_t(1)));

    fatCount_ = le32(bytes_, 44);
    firstDirectory_ = le32(bytes_, 48);
    firstMiniFat_ = le32(bytes_, 60);
    miniFatCount_ = le32(bytes_, 64);
    firstDifat_ = le32(bytes_, 68);
    difatCount_ = le32(bytes_, 72);
    if (fatCount_ == 0)
        return error(Error::Kind::BadHeader, 44, "no allocation table sectors");
    if (fatCount_ > sectorCount_)
        return error(Error::Kind::Truncated, 44,
                     "the header counts " + num(fatCount_) +
                         " allocation table sectors, the file holds " + num(sectorCount_) +
                         " sectors");
    if (difatCount_ > sectorCount_)
        return error(Error::Kind::Truncated, 72,
                     "the header counts " + num(difatCount_) + " DIFAT sectors, the file holds " +
                         num(sectorCount_) + " sectors");
    const std::uint64_t perDifat = (sectorSize / 4) - 1;
    const std::uint64_t beyondHeader =
        fatCount_ > headerFatNumbers ? fatCount_ - headerFatNumbers : 0;
    if (beyondHeader > std::uint64_t(difatCount_) * perDifat)
        return error(Error::Kind::BadHeader, 72,
                     num(difatCount_) + " DIFAT sectors cannot list " + num(beyondHeader) +
                         " allocation table sectors");
    used_.assign(sectorCount_, false);
    return std::nullopt;
}

std::size_t CompoundFile::sectorOffset(std::uint32_t sector) const
{
    return (std::size_t(sector) + 1) << sectorShift_;
}

std::size_t CompoundFile::fatEntryOffset(std::uint32_t index) const
{
    const std::size_t per = (std::size_t(1) << sectorShift_) / 4;
    return sectorOffset(fatSectors_[index / per]) + (index % per) * 4;
}

std::size_t CompoundFile::miniFatEntryOffset(std::uint32_t index) const
{
    const std::size_t per = (std::size_t(1) << sectorShift_) / 4;
    return sectorOffset(miniFatSectors_[index / per]) + (index % per) * 4;
}

std::optional<Error> CompoundFile::checkSector(std::uint32_t sector, std::size_t at,
                                               std::uint64_t limit, const std::string& what) const
{
    if (sector > MaxRegSect)
        return error(Error::Kind::BadSector, at,
                     what + ": " + hex(sector) + " where a sector number belongs");
    if (sector >= limit)
        return error(Error::Kind::BadSector, at,
                     what + ": sector " + num(sector) + " is out of range, the table covers " +
                         num(limit));
    if (sector >= sectorCount_)
        return error(Error::Kind::Truncated, at,
                     what + ": the file ends at byte " + num(bytes_.size()) + ", before sector " +
                         num(sector));
    return std::nullopt;
}

std::optional<Error> CompoundFile::readFat()
{
    const std::uint32_t per = (std::uint32_t(1) << sectorShift_) / 4;
    const std::uint64_t covered = std::uint64_t(fatCount_) * per;
    auto take = [&](std::uint32_t sector, std::size_t at) -> std::optional<Error> {
        const std::string what = "allocation table sector " + num(fatSectors_.size());
        if (auto failed = checkSector(sector, at, covered, what))
            return failed;
        if (used_[sector])
            return error(Error::Kind::BadSector, at,
                         what + ": sector " + num(sector) + " is listed a second time");
        used_[sector] = true;
        fatSectors_.push_back(sector);
        return std::nullopt;
    };

    for (std::size_t i = 0; i < headerFatNumbers && fatSectors_.size() < fatCount_; ++i) {
        const std::size_t at = 76 + i * 4;
        if (auto failed = take(le32(bytes_, at), at))
            return failed;
    }
    // Every DIFAT sector the header counts is walked, so a loop shows even where the numbers
    // run out before it.
    std::uint32_t difat = firstDifat_;
    std::size_t from = 68;
    for (std::uint32_t k = 0; k < difatCount_; ++k) {
        const std::string what = "DIFAT sector " + num(k);
        if (difat == EndOfChain || difat == FreeSect)
            return error(Error::Kind::BadSector, from,
                         what + ": the chain ends, the header counts " + num(difatCount_));
        if (auto failed = checkSector(difat, from, covered, what))
            return failed;
        if (used_[difat])
            return error(Error::Kind::BadSector, from,
                         what + ": sector " + num(difat) + " is reached a second time");
        used_[difat] = true;
        const std::size_t base = sectorOffset(difat);
        for (std::uint32_t i = 0; i + 1 < per && fatSectors_.size() < fatCount_; ++i) {
            if (auto failed = take(le32(bytes_, base + i * 4), base + i * 4))
                return failed;
        }
        from = base + (per - 1) * 4;
        difat = le32(bytes_, from);
    }

    fat_.resize(std::size_t(covered));
    for (std::size_t s = 0; s < fatSectors_.size(); ++s) {
        const std::size_t base = sectorOffset(fatSectors_[s]);
        for (std::uint32_t i = 0; i < per; ++i)
            fat_[s * per + i] = le32(bytes_, base + i * 4);
    }
    return std::nullopt;
}

std::optional<Error> CompoundFile::walk(std::uint32_t start, std::size_t at, bool mini,
                                        const std::string& what, std::vector<std::uint32_t>& out)
{
    std::uint32_t unit = start;
    std::size_t from = at;
    // Each step marks a unit that was free, so the walk ends within the number of units.
    while (unit != EndOfChain) {
        if (mini) {
            if (unit > MaxRegSect)
                return error(Error::Kind::BadSector, from,
                             what + ": " + hex(unit) + " where a mini sector number belongs");
            if (unit >= miniFat_.size() || unit >= miniSectorCount_)
                return error(Error::Kind::BadSector, from,
                             what + ": mini sector " + num(unit) +
                                 " is out of range, the mini table covers " + num(miniFat_.size()) +
                                 " and the mini stream holds " + num(miniSectorCount_));
            if (miniUsed_[unit])
                return error(Error::Kind::BadSector, from,
                             what + ": mini sector " + num(unit) +
                                 " is reached a second time (a loop, or shared with another "
                                 "chain)");
            miniUsed_[unit] = true;
            out.push_back(unit);
            from = miniFatEntryOffset(unit);
            unit = miniFat_[unit];
        } else {
            if (auto failed = checkSector(unit, from, fat_.size(), what))
                return failed;
            if (used_[unit])
                return error(Error::Kind::BadSector, from,
                             what + ": sector " + num(unit) +
                                 " is reached a second time (a loop, or shared with another "
                                 "chain)");
            used_[unit] = true;
            out.push_back(unit);
            from = fatEntryOffset(unit);
            unit = fat_[unit];
        }
    }
    return std::nullopt;
}

std::optional<Error> CompoundFile::readDirectory()
{
    if (auto failed = walk(firstDirectory_, 48, false, "directory", directorySectors_))
        return failed;
    // Every later step starts at the root entry, so a document without a directory sector has
    // nothing to stand on.
    if (directorySectors_.empty())
        return error(Error::Kind::BadDirectory, 48, "the directory has no sector");
    const std::size_t perSector = (std::size_t(1) << sectorShift_) / entrySize;
    const std::size_t count = directorySectors_.size() * perSector;
    entries_.resize(count);
    for (std::size_t id = 0; id < count; ++id) {
        const std::size_t at =
            sectorOffset(directorySectors_[id / perSector]) + (id % perSector) * entrySize;
        const std::string what = "directory entry " + num(id);
        Entry& entry = entries_[id];
        const std::uint8_t type = bytes_[at + 66];
        if (type != 0 && type != 1 && type != 2 && type != 5)
            return error(Error::Kind::BadDirectory, at + 66, what + ": type " + num(type));
        entry.type = Entry::Type(type);
        if (id == 0 && entry.type != Entry::Type::Root)
            return error(Error::Kind::BadDirectory, at + 66,
                         "the first directory entry is not the root (type " + num(type) + ")");
        if (id != 0 && entry.type == Entry::Type::Root)
            return error(Error::Kind::BadDirectory, at + 66, what + ": a second root");
        if (entry.type == Entry::Type::Empty)
            continue;

        const std::uint16_t nameBytes = le16(bytes_, at + 64);
        if (nameBytes < 2 || nameBytes > 64 || nameBytes % 2 != 0)
            return error(Error::Kind::BadDirectory, at + 64,
                         what + ": name length " + num(nameBytes));
        for (std::size_t i = 0; i + 1 < nameBytes / 2u; ++i)
            entry.name.push_back(char16_t(le16(bytes_, at + i * 2)));

        entry.left = le32(bytes_, at + 68);
        entry.right = le32(bytes_, at + 72);
        entry.child = le32(bytes_, at + 76);
        for (std::size_t field : {68, 72, 76}) {
            const std::uint32_t other = le32(bytes_, at + field);
            if (other != NoStream && other >= count)
                return error(Error::Kind::BadDirectory, at + field,
                             what + ": entry id " + num(other) + " is out of range, there are " +
                                 num(count) + " entries");
        }
        std::copy_n(bytes_.begin() + std::ptrdiff_t(at + 80), 16, entry.classId.begin());
        entry.startSector = le32(bytes_, at + 116);
        entry.size = le64(bytes_, at + 120);
        // Version 3 writers may leave garbage in the high half, which readers are to ignore.
        if (majorVersion_ == 3)
            entry.size &= 0xFFFFFFFF;
    }
    return std::nullopt;
}

std::optional<Error> CompoundFile::checkTree() const
{
    const std::size_t perSector = (std::size_t(1) << sectorShift_) / entrySize;
    auto entryOffset = [&](std::uint32_t id) {
        return sectorOffset(directorySectors_[id / perSector]) + (id % perSector) * entrySize;
    };
    // Each entry may be reached once, so the walk ends within the number of entries.
    std::vector<bool> seen(entries_.size(), false);
    std::vector<std::uint32_t> storages{0};
    struct Link {
        std::uint32_t id;
        std::size_t at; // where the id was read
    };
    std::vector<Link> pending;
    seen[0] = true;
    while (!storages.empty()) {
        const std::uint32_t storage = storages.back();
        storages.pop_back();
        pending.assign(1, Link{entries_[storage].child, entryOffset(storage) + 76});
        while (!pending.empty()) {
            const Link link = pending.back();
            pending.pop_back();
            if (link.id == NoStream)
                continue;
            if (seen[link.id])
                return error(Error::Kind::BadDirectory, link.at,
                             "directory entry " + num(link.id) +
                                 " is reached a second time: the tree under entry " + num(storage) +
                                 " loops");
            seen[link.id] = true;
            const Entry& entry = entries_[link.id];
            if (entry.type == Entry::Type::Empty)
                return error(Error::Kind::BadDirectory, link.at,
                             "directory entry " + num(link.id) + " under entry " + num(storage) +
                                 " is unused");
            pending.push_back(Link{entry.left, entryOffset(link.id) + 68});
            pending.push_back(Link{entry.right, entryOffset(link.id) + 72});
            if (entry.type == Entry::Type::Storage)
                storages.push_back(link.id);
        }
    }
    return std::nullopt;
}

std::optional<Error> CompoundFile::readMiniFat()
{
    if (firstMiniFat_ == EndOfChain && miniFatCount_ == 0)
        return std::nullopt;
    if (auto failed = walk(firstMiniFat_, 60, false, "mini allocation table", miniFatSectors_))
        return failed;
    if (miniFatSectors_.size() != miniFatCount_)
        return error(Error::Kind::BadSector, 64,
                     "the header counts " + num(miniFatCount_) +
                         " mini allocation table sectors, the chain has " +
                         num(miniFatSectors_.size()));
    const std::uint32_t per = (std::uint32_t(1) << sectorShift_) / 4;
    miniFat_.resize(miniFatSectors_.size() * per);
    for (std::size_t s = 0; s < miniFatSectors_.size(); ++s) {
        const std::size_t base = sectorOffset(miniFatSectors_[s]);
        for (std::uint32_t i = 0; i < per; ++i)
            miniFat_[s * per + i] = le32(bytes_, base + i * 4);
    }
    return std::nullopt;
}

bool CompoundFile::isMini(std::uint32_t id) const
{
    return id != 0 && entries_[id].size < miniStreamCutoff_;
}

std::optional<Error> CompoundFile::readStreams()
{
    chains_.resize(entries_.size());
    auto fits = [&](std::uint32_t id, std::uint64_t units, std::uint32_t shift,
                    std::size_t at) -> std::optional<Error> {
        const std::uint64_t needed = unitsFor(entries_[id].size, shift);
        if (units < needed)
            return error(Error::Kind::BadStream, at,
                         "directory entry " + num(id) + ": size " + num(entries_[id].size) +
                             " needs " + num(needed) + " sectors of " +
                             num(std::uint64_t(1) << shift) + " bytes, its chain has " +
                             num(units));
        return std::nullopt;
    };
    const std::size_t perSector = (std::size_t(1) << sectorShift_) / entrySize;
    auto entryOffset = [&](std::uint32_t id) {
        return sectorOffset(directorySectors_[id / perSector]) + (id % perSector) * entrySize;
    };

    // The root's chain is the mini stream, always in whole sectors.
    const Entry& root = entries_.front();
    if (root.size > 0) {
        if (auto failed = walk(root.startSector, entryOffset(0) + 116, false, "mini stream",
                               miniStreamSectors_))
            return failed;
        if (auto failed = fits(0, miniStreamSectors_.size(), sectorShift_, entryOffset(0) + 120))
            return failed;
    }
    miniSectorCount_ = std::uint32_t(unitsFor(root.size, miniSectorShift_));
    miniUsed_.assign(miniSectorCount_, false);

    for (std::uint32_t id = 1; id < entries_.size(); ++id) {
        const Entry& entry = entries_[id];
        if (entry.type != Entry::Type::Stream || entry.size == 0)
            continue;
        const bool mini = isMini(id);
        const std::size_t at = entryOffset(id);
        if (auto failed = walk(entry.startSector, at + 116, mini,
                               "stream of directory entry " + num(id), chains_[id]))
            return failed;
        if (auto failed =
                fits(id, chains_[id].size(), mini ? miniSectorShift_ : sectorShift_, at + 120))
            return failed;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> CompoundFile::find(std::uint32_t parent,
                                                std::u16string_view name) const
{
    if (parent >= entries_.size() || (entries_[parent].type != Entry::Type::Storage &&
                                      entries_[parent].type != Entry::Type::Root))
        return std::nullopt;
    std::uint32_t id = entries_[parent].child;
    // Opening checked that the tree does not loop; the bound keeps this true on its own.
    for (std::size_t steps = 0; id != NoStream && steps < entries_.size(); ++steps) {
        const int order = compareNames(name, entries_[id].name);
        if (order == 0)
            return id;
        id = order < 0 ? entries_[id].left : entries_[id].right;
    }
    return std::nullopt;
}

std::size_t CompoundFile::unitOffset(std::uint32_t id, std::size_t index) const
{
    if (!isMini(id))
        return sectorOffset(id == 0 ? miniStreamSectors_[index] : chains_[id][index]);
    const std::size_t position = std::size_t(chains_[id][index]) << miniSectorShift_;
    const std::size_t sectorMask = (std::size_t(1) << sectorShift_) - 1;
    return sectorOffset(miniStreamSectors_[position >> sectorShift_]) + (position & sectorMask);
}

std::variant<std::size_t, Error> CompoundFile::readAt(std::uint32_t id, std::uint64_t offset,
                                                      std::span<std::uint8_t> out) const
{
    if (id >= entries_.size())
        return Error{Error::Kind::BadDirectory, 0,
                     "no directory entry " + num(id) + ", there are " + num(entries_.size())};
    const Entry& entry = entries_[id];
    if (entry.type != Entry::Type::Stream && entry.type != Entry::Type::Root)
        return Error{Error::Kind::BadStream, 0, "directory entry " + num(id) + " is no stream"};
    if (offset >= entry.size)
        return std::size_t(0);
    const std::size_t count = std::size_t(std::min<std::uint64_t>(out.size(), entry.size - offset));
    const std::uint32_t shift = isMini(id) ? miniSectorShift_ : sectorShift_;
    const std::size_t unit = std::size_t(1) << shift;
    std::size_t done = 0;
    while (done < count) {
        const std::uint64_t position = offset + done;
        const std::size_t within = std::size_t(position & (unit - 1));
        const std::size_t piece = std::min(unit - within, count - done);
        const std::size_t from = unitOffset(id, std::size_t(position >> shift)) + within;
        std::memcpy(out.data() + done, bytes_.data() + from, piece);
        done += piece;
    }
    return done;
}

std::variant<std::vector<std::uint8_t>, Error> CompoundFile::read(std::uint32_t id) const
{
    if (id >= entries_.size())
        return Error{Error::Kind::BadDirectory, 0,
                     "no directory entry " + num(id) + ", there are " + num(entries_.size())};
    std::vector<std::uint8_t> out(std::size_t(entries_[id].size));
    auto result = readAt(id, 0, out);
    if (auto* failed = std::get_if<Error>(&result))
        return *failed;
    return out;
}

std::optional<std::span<const std::uint8_t>> CompoundFile::contiguous(std::uint32_t id) const
{
    if (id >= entries_.size())
        return std::nullopt;
    const Entry& entry = entries_[id];
    if (entry.type != Entry::Type::Stream && entry.type != Entry::Type::Root)
        return std::nullopt;
    if (entry.size == 0)
        return bytes_.subspan(0, 0);
    const std::uint32_t shift = isMini(id) ? miniSectorShift_ : sectorShift_;
    const std::size_t units = std::size_t(unitsFor(entry.size, shift));
    const std::size_t start = unitOffset(id, 0);
    for (std::size_t i = 1; i < units; ++i) {
        if (unitOffset(id, i) != start + (i << shift))
            return std::nullopt;
    }
    return bytes_.subspan(start, std::size_t(entry.size));
}

} // namespace formats::compound
