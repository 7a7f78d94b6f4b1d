#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace formats::compound {

// Sector numbers with a meaning of their own.
inline constexpr std::uint32_t FreeSect = 0xFFFFFFFF;
inline constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t FatSect = 0xFFFFFFFD;
inline constexpr std::uint32_t DifSect = 0xFFFFFFFC;
inline constexpr std::uint32_t MaxRegSect = 0xFFFFFFFA;
// No sibling, child or stream.
inline constexpr std::uint32_t NoStream = 0xFFFFFFFF;

using ClassId = std::array<std::uint8_t, 16>;

struct Entry {
    enum class Type : std::uint8_t { Empty = 0, Storage = 1, Stream = 2, Root = 5 };

    std::u16string name;
    Type type = Type::Empty;
    std::uint32_t left = NoStream;
    std::uint32_t right = NoStream;
    std::uint32_t child = NoStream;
    ClassId classId{};
    std::uint32_t startSector = EndOfChain;
    std::uint64_t size = 0;
};

struct Error {
    enum class Kind {
        Truncated,    // the bytes end before something they promise
        BadSignature, // not a compound document
        BadHeader,    // a header field out of its allowed values
        BadSector,    // a sector number out of range, or a chain that loops or ends early
        BadDirectory, // a directory entry or id out of range, or a tree that loops
        BadStream,    // a stream whose size does not fit its chain
        NotFound,     // no entry of that name
    };
    Kind kind;
    std::size_t offset = 0; // where in the document the fault was found
    std::string message;    // with the numbers: sector, entry id, sizes
};

// How the format orders sibling names: shorter names first, names of one length unit by unit,
// upper-cased. Negative, zero or positive like a three-way comparison.
int compareNames(std::u16string_view a, std::u16string_view b);

// A compound document (version 3 or 4) read from bytes that must outlive it. Opening reads the
// header, the sector allocation table through its DIFAT chain, the directory and the mini
// table; every chain walk is bounded by the number of sectors in the file.
class CompoundFile {
public:
    static std::variant<CompoundFile, Error> open(std::span<const std::uint8_t> bytes);

    // The directory; an entry's id is its index. Entry 0 is the root storage.
    const std::vector<Entry>& entries() const { return entries_; }
    const Entry& root() const { return entries_.front(); }

    // The id of the child of storage `parent` named `name` (names compare as the format does:
    // by length, then by upper-cased UTF-16 units), or nothing.
    std::optional<std::uint32_t> find(std::uint32_t parent, std::u16string_view name) const;

    // Copies up to `out.size()` bytes of stream `id` from `offset`; returns how many were copied
    // (fewer only at the stream's end).
    std::variant<std::size_t, Error> readAt(std::uint32_t id, std::uint64_t offset,
                                            std::span<std::uint8_t> out) const;
    // The whole stream, copied.
    std::variant<std::vector<std::uint8_t>, Error> read(std::uint32_t id) const;
    // The stream in place, without a copy, when its sectors lie one after the other in the file
    // (as a writer that places streams whole produces them); otherwise nothing.
    std::optional<std::span<const std::uint8_t>> contiguous(std::uint32_t id) const;

private:
    CompoundFile() = default;

    std::optional<Error> readHeader();
    std::optional<Error> readFat();
    std::optional<Error> readDirectory();
    std::optional<Error> checkTree() const;
    std::optional<Error> readMiniFat();
    std::optional<Error> readStreams();
    // A chain of sectors (or mini sectors) from `start`, whose number was read at byte `at`.
    std::optional<Error> walk(std::uint32_t start, std::size_t at, bool mini,
                              const std::string& what, std::vector<std::uint32_t>& out);
    std::optional<Error> checkSector(std::uint32_t sector, std::size_t at, std::uint64_t limit,
                                     const std::string& what) const;
    std::size_t sectorOffset(std::uint32_t sector) const;
    std::size_t fatEntryOffset(std::uint32_t index) const;
    std::size_t miniFatEntryOffset(std::uint32_t index) const;
    bool isMini(std::uint32_t id) const;
    // File offset of the `index`th sector (or mini sector) of stream `id`.
    std::size_t unitOffset(std::uint32_t id, std::size_t index) const;

    std::span<const std::uint8_t> bytes_;
    std::vector<Entry> entries_;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<std::uint32_t> miniStreamSectors_; // the root's chain, in order
    std::uint32_t sectorShift_ = 9;
    std::uint32_t miniSectorShift_ = 6;
    std::uint32_t miniStreamCutoff_ = 4096;

    std::uint16_t majorVersion_ = 3;
    std::uint32_t sectorCount_ = 0; // whole sectors after the header
    std::vector<std::uint32_t> fatSectors_;
    std::vector<std::uint32_t> miniFatSectors_;
    std::vector<std::uint32_t> directorySectors_;
    std::uint32_t miniSectorCount_ = 0; // mini sectors the mini stream holds
    // Each entry's sectors (mini sectors for a small stream); entry 0 has the mini stream's.
    std::vector<std::vector<std::uint32_t>> chains_;
    // While opening: sectors and mini sectors already placed in a chain.
    std::vector<bool> used_;
    std::vector<bool> miniUsed_;
    // Header fields needed after the header is read.
    std::uint32_t fatCount_ = 0;
    std::uint32_t firstDirectory_ = EndOfChain;
    std::uint32_t firstMiniFat_ = EndOfChain;
    std::uint32_t miniFatCount_ = 0;
    std::uint32_t firstDifat_ = EndOfChain;
    std::uint32_t difatCount_ = 0;
};

} // namespace formats::compound
