#pragma once

// Checks a version-3 compound document's allocation straight from its bytes, without the reader
// under test: every chain ends in ENDOFCHAIN, no sector sits in two chains or twice in one, the
// table marks its own sectors and the DIFAT's, entries past the end are free and no sector inside
// is left out.

#include "formats/bytes/littleendian.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace compoundlayout {

using formats::bytes::le32;

struct Allocation {
    std::vector<std::string> faults;
    std::vector<std::uint32_t> fatSectors;
    std::vector<std::uint32_t> difatSectors;
    std::uint32_t sectors = 0; // after the header
};

inline Allocation checkAllocation(std::span<const std::uint8_t> doc)
{
    constexpr std::uint32_t endOfChain = 0xFFFFFFFE, freeSect = 0xFFFFFFFF, fatSect = 0xFFFFFFFD,
                            difSect = 0xFFFFFFFC;
    Allocation a;
    auto fault = [&](std::string text) { a.faults.push_back(std::move(text)); };
    if (doc.size() < 512 || doc.size() % 512 != 0) {
        fault("size " + std::to_string(doc.size()) + " is not whole sectors");
        return a;
    }
    a.sectors = std::uint32_t(doc.size() / 512 - 1);
    auto sector = [&](std::uint32_t n) { return std::size_t(n + 1) * 512; };

    const std::uint32_t fatCount = le32(doc, 44);
    for (std::uint32_t i = 0; i < 109 && a.fatSectors.size() < fatCount; ++i)
        a.fatSectors.push_back(le32(doc, 76 + i * 4));
    std::uint32_t difat = le32(doc, 68);
    for (std::uint32_t k = 0; k < le32(doc, 72); ++k) {
        if (difat >= a.sectors) {
            fault("DIFAT sector " + std::to_string(difat) + " out of range");
            return a;
        }
        a.difatSectors.push_back(difat);
        for (std::uint32_t i = 0; i < 127 && a.fatSectors.size() < fatCount; ++i)
            a.fatSectors.push_back(le32(doc, sector(difat) + i * 4));
        difat = le32(doc, sector(difat) + 127 * 4);
    }
    if (difat != endOfChain)
        fault("the DIFAT chain does not end in ENDOFCHAIN");
    std::vector<std::uint32_t> fat;
    for (std::uint32_t s : a.fatSectors) {
        if (s >= a.sectors) {
            fault("FAT sector " + std::to_string(s) + " out of range");
            return a;
        }
        for (std::uint32_t i = 0; i < 128; ++i)
            fat.push_back(le32(doc, sector(s) + i * 4));
    }
    if (fat.size() < a.sectors) {
        fault("the FAT does not cover the file");
        return a;
    }

    std::vector<int> owner(a.sectors, -1);
    for (std::uint32_t s : a.fatSectors) {
        if (fat[s] != fatSect)
            fault("FAT sector " + std::to_string(s) + " not marked FATSECT");
        owner[s] = 0;
    }
    for (std::uint32_t s : a.difatSectors) {
        if (fat[s] != difSect)
            fault("DIFAT sector " + std::to_string(s) + " not marked DIFSECT");
        owner[s] = 0;
    }
    int chains = 0;
    auto walk = [&](std::uint32_t start, std::uint64_t size, const std::string& what) {
        const int id = ++chains;
        std::uint64_t count = 0;
        for (std::uint32_t s = start; s != endOfChain; s = fat[s]) {
            if (s >= a.sectors) {
                fault(what + ": sector " + std::to_string(s) + " out of range");
                return;
            }
            if (owner[s] != -1) {
                fault(what + ": sector " + std::to_string(s) + " already in a chain");
                return;
            }
            owner[s] = id;
            ++count;
        }
        if (size != ~std::uint64_t(0) && count != (size + 511) / 512)
            fault(what + ": chain of " + std::to_string(count) + " sectors for " +
                  std::to_string(size) + " bytes");
    };
    walk(le32(doc, 48), ~std::uint64_t(0), "directory");
    if (le32(doc, 64) != 0)
        walk(le32(doc, 60), std::uint64_t(le32(doc, 64)) * 512, "mini FAT");

    // Directory entries: the root's chain is the mini stream; big streams have their own.
    std::vector<std::uint32_t> directory;
    for (std::uint32_t s = le32(doc, 48);
         s != endOfChain && s < a.sectors && directory.size() < a.sectors; s = fat[s])
        directory.push_back(s);
    for (std::size_t d = 0; d < directory.size(); ++d) {
        for (std::size_t e = 0; e < 4; ++e) {
            const std::size_t at = sector(directory[d]) + e * 128;
            const std::uint8_t type = doc[at + 66];
            const std::uint32_t start = le32(doc, at + 116);
            const std::uint32_t size = le32(doc, at + 120);
            const std::string what = "entry " + std::to_string(d * 4 + e);
            if (type == 5 && size > 0)
                walk(start, size, what + " (mini stream)");
            else if (type == 2 && size >= 4096)
                walk(start, size, what);
        }
    }
    for (std::uint32_t s = 0; s < a.sectors; ++s) {
        if (owner[s] == -1)
            fault("sector " + std::to_string(s) + " is in no chain");
    }
    for (std::size_t s = a.sectors; s < fat.size(); ++s) {
        if (fat[s] != freeSect) {
            fault("FAT entry " + std::to_string(s) + " past the end is not FREESECT");
            break;
        }
    }
    return a;
}

} // namespace compoundlayout
