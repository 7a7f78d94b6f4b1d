#include "formats/compound/compoundfile.h"
#include "formats/compound/compoundwriter.h"
#include "tests/formats/compoundlayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace formats::compound;

namespace {

using Bytes = std::vector<std::uint8_t>;

const ClassId someClass = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

// Bytes that differ from sector to sector, so a misplaced sector shows.
Bytes pattern(std::size_t size, std::uint32_t seed)
{
    Bytes b(size);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& v : b) {
        x = x * 1103515245u + 12345u;
        v = std::uint8_t(x >> 24);
    }
    return b;
}

struct StreamPlan {
    std::u16string name;
    std::size_t size;
};

struct Document {
    std::vector<Bytes> contents;
    std::vector<StreamData> streams;
    Bytes bytes;
};

Document make(const std::vector<StreamPlan>& plan)
{
    Document d;
    for (std::size_t i = 0; i < plan.size(); ++i)
        d.contents.push_back(pattern(plan[i].size, std::uint32_t(i + 1)));
    for (std::size_t i = 0; i < plan.size(); ++i)
        d.streams.push_back(StreamData{plan[i].name, d.contents[i]});
    d.bytes = writeCompoundFile(someClass, d.streams);
    return d;
}

CompoundFile openOk(const Bytes& bytes)
{
    auto result = CompoundFile::open(bytes);
    if (auto* e = std::get_if<Error>(&result))
        ADD_FAILURE() << "open failed: " << e->message;
    return std::get<CompoundFile>(std::move(result));
}

// ---- Writing and reading back ----

struct RoundTrip {
    const char* label;
    std::vector<StreamPlan> plan;
    std::uint32_t fatSectors;
    std::uint32_t difatSectors;
};

class CompoundRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(CompoundRoundTrip, EveryStreamReadsBackInPlaceAndTheAllocationHolds)
{
    const RoundTrip& p = GetParam();
    const Document d = make(p.plan);
    EXPECT_EQ(d.bytes, writeCompoundFile(someClass, d.streams)) << "not deterministic";

    const auto allocation = compoundlayout::checkAllocation(d.bytes);
    for (const auto& fault : allocation.faults)
        ADD_FAILURE() << fault;
    EXPECT_EQ(allocation.fatSectors.size(), p.fatSectors);
    EXPECT_EQ(allocation.difatSectors.size(), p.difatSectors);

    const CompoundFile file = openOk(d.bytes);
    EXPECT_EQ(file.root().type, Entry::Type::Root);
    EXPECT_EQ(file.root().classId, someClass);
    std::size_t miniSectors = 0;
    for (const StreamPlan& s : p.plan)
        miniSectors += s.size < 4096 ? (s.size + 63) / 64 : 0;
    EXPECT_EQ(file.root().size, miniSectors * 64);

    for (std::size_t i = 0; i < p.plan.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "stream " << i);
        const auto id = file.find(0, p.plan[i].name);
        ASSERT_TRUE(id.has_value());
        EXPECT_EQ(file.entries()[*id].size, p.plan[i].size);
        auto whole = file.read(*id);
        ASSERT_TRUE(std::holds_alternative<Bytes>(whole)) << std::get<Error>(whole).message;
        EXPECT_TRUE(std::get<Bytes>(whole) == d.contents[i]);

        const auto inPlace = file.contiguous(*id);
        ASSERT_TRUE(inPlace.has_value());
        EXPECT_TRUE(std::equal(inPlace->begin(), inPlace->end(), d.contents[i].begin(),
                               d.contents[i].end()));
        if (!inPlace->empty()) {
            EXPECT_GE(inPlace->data(), d.bytes.data());
            EXPECT_LE(inPlace->data() + inPlace->size(), d.bytes.data() + d.bytes.size());
        }

        // Pieces across sector and mini sector seams, and past the end.
        for (std::size_t offset : {std::size_t(0), std::size_t(60), std::size_t(500),
                                   p.plan[i].size / 2, p.plan[i].size}) {
            Bytes piece(700, 0xEE);
            auto got = file.readAt(*id, offset, piece);
            ASSERT_TRUE(std::holds_alternative<std::size_t>(got));
            const std::size_t n = std::get<std::size_t>(got);
            const std::size_t wanted =
                offset >= p.plan[i].size ? 0 : std::min<std::size_t>(700, p.plan[i].size - offset);
            ASSERT_EQ(n, wanted) << "at " << offset;
            EXPECT_TRUE(std::equal(piece.begin(), piece.begin() + std::ptrdiff_t(n),
                                   d.contents[i].begin() + std::ptrdiff_t(offset)))
                << "at " << offset;
        }
    }
}

std::vector<StreamPlan> manyStreams()
{
    std::vector<StreamPlan> plan;
    for (int i = 0; i < 40; ++i)
        plan.push_back({u"S" + std::u16string(std::size_t(i % 7 + 1), char16_t(u'a' + i % 26)) +
                            char16_t(u'A' + i / 7),
                        std::size_t(i * 397 % 9000)});
    return plan;
}

INSTANTIATE_TEST_SUITE_P(
    Documents, CompoundRoundTrip,
    testing::Values(
        RoundTrip{"empty", {}, 1, 0}, RoundTrip{"one mini stream", {{u"A", 100}}, 1, 0},
        RoundTrip{"around the cut-off",
                  {{u"Small", 4095}, {u"Big", 4096}, {u"Empty", 0}, {u"One", 1}},
                  1,
                  0},
        RoundTrip{"mixed", {{u"Alpha", 100}, {u"Beta", 5000}, {u"Gamma", 200}, {u"E", 0}}, 1, 0},
        RoundTrip{"forty streams, eleven directory sectors", manyStreams(), 3, 0},
        // More than 109 table sectors: one DIFAT sector, then two.
        RoundTrip{"one DIFAT sector", {{u"Big", 14000 * 512}, {u"small", 10}}, 111, 1},
        RoundTrip{"two DIFAT sectors", {{u"Big", 31000 * 512 + 3}}, 245, 2}),
    [](const auto& info) {
        std::string name = info.param.label;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(CompoundFind, NamesCompareByLengthThenUpperCased)
{
    const Document d = make({{u"Beta", 10}, {u"alpha", 10}, {u"ALPHB", 10}, {u"\x01Ole", 20}});
    const CompoundFile file = openOk(d.bytes);
    struct Case {
        std::u16string name;
        std::optional<std::size_t> stream;
    };
    const Case cases[] = {
        {u"Beta", 0},    {u"BETA", 0}, {u"beta", 0},   {u"ALPHA", 1},  {u"alphb", 2},
        {u"\x01ole", 3}, {u"Bet", {}}, {u"Betaa", {}}, {u"alphc", {}}, {u"", {}},
    };
    for (const Case& c : cases) {
        const auto id = file.find(0, c.name);
        ASSERT_EQ(id.has_value(), c.stream.has_value())
            << std::string(c.name.begin(), c.name.end());
        if (id) {
            EXPECT_EQ(*id, *c.stream + 1);
        }
    }
    EXPECT_FALSE(file.find(1, u"Beta").has_value()) << "a stream has no children";
    EXPECT_FALSE(file.find(99, u"Beta").has_value());
}

TEST(CompoundWriter, RejectsNamesItCannotStore)
{
    const Bytes b(10);
    const StreamData twice[] = {{u"Name", b}, {u"NAME", b}};
    EXPECT_THROW(writeCompoundFile(someClass, twice), std::invalid_argument);
    const StreamData tooLong[] = {{std::u16string(32, u'x'), b}};
    EXPECT_THROW(writeCompoundFile(someClass, tooLong), std::invalid_argument);
    const StreamData empty[] = {{u"", b}};
    EXPECT_THROW(writeCompoundFile(someClass, empty), std::invalid_argument);
}

// ---- Damaged documents ----

void set32(Bytes& b, std::size_t at, std::uint32_t v)
{
    formats::bytes::storeLe32(b.data() + at, v);
}

void set16(Bytes& b, std::size_t at, std::uint16_t v)
{
    formats::bytes::storeLe16(b.data() + at, v);
}

using formats::bytes::le32;

std::size_t sectorAt(std::uint32_t n)
{
    return std::size_t(n + 1) * 512;
}

// Directory entry `id` (the writer puts the directory in consecutive sectors).
std::size_t entryAt(const Bytes& b, std::uint32_t id)
{
    return sectorAt(le32(b, 48)) + id * 128;
}

std::size_t fatEntryAt(const Bytes& b, std::uint32_t sector)
{
    const std::uint32_t fatSector = sector / 128 < 109
                                        ? le32(b, 76 + sector / 128 * 4)
                                        : le32(b, sectorAt(le32(b, 68)) + (sector / 128 - 109) * 4);
    return sectorAt(fatSector) + sector % 128 * 4;
}

std::size_t miniFatEntryAt(const Bytes& b, std::uint32_t mini)
{
    return sectorAt(le32(b, 60)) + mini * 4;
}

std::uint32_t startOf(const Bytes& b, std::uint32_t id)
{
    return le32(b, entryAt(b, id) + 116);
}

// Entries: 0 root, 1 "Alpha" (100 bytes, 2 mini sectors), 2 "Beta" (5000 bytes, 10 sectors),
// 3 "Gamma" (200 bytes, 4 mini sectors), 4 "Empty"; 8 entries fit the two directory sectors.
const Bytes& smallDocument()
{
    static const Bytes bytes =
        make({{u"Alpha", 100}, {u"Beta", 5000}, {u"Gamma", 200}, {u"Empty", 0}}).bytes;
    return bytes;
}

// 111 table sectors, so one DIFAT sector.
const Bytes& largeDocument()
{
    static const Bytes bytes = make({{u"Big", 14000 * 512}, {u"small", 10}}).bytes;
    return bytes;
}

struct Damage {
    const char* label;
    bool large;
    std::function<void(Bytes&)> patch;
    Error::Kind kind;
    const char* mentions; // a number the message must carry
};

class CompoundDamage : public testing::TestWithParam<Damage> {};

TEST_P(CompoundDamage, GivesACleanError)
{
    const Damage& p = GetParam();
    Bytes bytes = p.large ? largeDocument() : smallDocument();
    p.patch(bytes);
    const auto result = CompoundFile::open(bytes);
    ASSERT_TRUE(std::holds_alternative<Error>(result)) << "opened a damaged document";
    const Error& e = std::get<Error>(result);
    EXPECT_EQ(int(e.kind), int(p.kind)) << e.message;
    EXPECT_LE(e.offset, bytes.size());
    EXPECT_NE(e.message.find(p.mentions), std::string::npos) << e.message;
}

using K = Error::Kind;

INSTANTIATE_TEST_SUITE_P(
    Documents, CompoundDamage,
    testing::Values(
        // The header.
        Damage{"wrong signature", false, [](Bytes& b) { b[7] = 0; }, K::BadSignature, ""},
        Damage{"byte order", false, [](Bytes& b) { set16(b, 28, 0xFEFF); }, K::BadHeader,
               "0x0000FEFF"},
        Damage{"major version", false, [](Bytes& b) { set16(b, 26, 5); }, K::BadHeader, "5"},
        Damage{"sector shift of version 4 in version 3", false, [](Bytes& b) { set16(b, 30, 12); },
               K::BadHeader, "12"},
        Damage{"mini sector shift", false, [](Bytes& b) { set16(b, 32, 7); }, K::BadHeader, "7"},
        Damage{"cut-off", false, [](Bytes& b) { set32(b, 56, 2048); }, K::BadHeader, "2048"},
        Damage{"directory sector count in version 3", false, [](Bytes& b) { set32(b, 40, 2); },
               K::BadHeader, "2"},
        Damage{"no table sectors", false, [](Bytes& b) { set32(b, 44, 0); }, K::BadHeader, ""},
        Damage{"more table sectors than the file", false, [](Bytes& b) { set32(b, 44, 900); },
               K::Truncated, "900"},
        // The FAT and its chains.
        Damage{"stream chain loops", false,
               [](Bytes& b) { set32(b, fatEntryAt(b, startOf(b, 2) + 9), startOf(b, 2) + 4); },
               K::BadSector, "sector 9"}, // Beta starts at sector 5 in this layout
        Damage{"directory chain loops onto itself", false,
               [](Bytes& b) { set32(b, fatEntryAt(b, le32(b, 48)), le32(b, 48)); }, K::BadSector,
               "sector 1"},
        Damage{"chain runs into a table sector", false,
               [](Bytes& b) { set32(b, fatEntryAt(b, startOf(b, 2)), 0); }, K::BadSector,
               "sector 0"},
        Damage{"two chains share a sector", false,
               [](Bytes& b) { set32(b, fatEntryAt(b, startOf(b, 2) + 9), le32(b, 48)); },
               K::BadSector, "sector 1"},
        Damage{"chain runs into a free entry", false,
               [](Bytes& b) { set32(b, fatEntryAt(b, startOf(b, 2) + 2), FreeSect); }, K::BadSector,
               "0xFFFFFFFF"},
        Damage{"chain ends early", false,
               [](Bytes& b) { set32(b, fatEntryAt(b, startOf(b, 2) + 2), EndOfChain); },
               K::BadStream, "5000"},
        Damage{"start sector past the table", false,
               [](Bytes& b) { set32(b, entryAt(b, 2) + 116, 5000); }, K::BadSector, "5000"},
        Damage{"start sector inside the table, past the file", false,
               [](Bytes& b) { set32(b, entryAt(b, 2) + 116, 100); }, K::Truncated, "100"},
        Damage{"first directory sector out of range", false, [](Bytes& b) { set32(b, 48, 777); },
               K::BadSector, "777"},
        Damage{"table sector out of range", false, [](Bytes& b) { set32(b, 76, 300); },
               K::BadSector, "300"},
        // The mini FAT and mini stream.
        Damage{"mini chain loops", false,
               [](Bytes& b) { set32(b, miniFatEntryAt(b, startOf(b, 3) + 3), startOf(b, 3)); },
               K::BadSector, "mini sector 2"},
        Damage{"mini table chain loops", false,
               [](Bytes& b) { set32(b, fatEntryAt(b, le32(b, 60)), le32(b, 60)); }, K::BadSector,
               "sector 3"},
        Damage{"mini sector out of range", false,
               [](Bytes& b) { set32(b, entryAt(b, 3) + 116, 500); }, K::BadSector, "500"},
        Damage{"mini stream cut short", false, [](Bytes& b) { set32(b, entryAt(b, 0) + 120, 64); },
               K::BadSector, "mini sector 1"},
        Damage{"mini table count disagrees", false, [](Bytes& b) { set32(b, 64, 2); }, K::BadSector,
               "2"},
        // The directory.
        Damage{"no directory sector", false, [](Bytes& b) { set32(b, 48, EndOfChain); },
               K::BadDirectory, "no sector"},
        Damage{"child id out of range", false, [](Bytes& b) { set32(b, entryAt(b, 0) + 76, 99); },
               K::BadDirectory, "99"},
        Damage{"sibling id out of range", false,
               [](Bytes& b) { set32(b, entryAt(b, 1) + 68, 1000); }, K::BadDirectory, "1000"},
        Damage{"sibling tree loops", false,
               [](Bytes& b) {
                   const std::uint32_t top = le32(b, entryAt(b, 0) + 76);
                   const std::uint32_t left = le32(b, entryAt(b, top) + 68);
                   set32(b, entryAt(b, left) + 72, top);
               },
               K::BadDirectory, "loops"},
        Damage{"child points back at the root", false,
               [](Bytes& b) { set32(b, entryAt(b, 0) + 76, 0); }, K::BadDirectory, "entry 0"},
        Damage{"tree reaches an unused entry", false,
               [](Bytes& b) { set32(b, entryAt(b, le32(b, entryAt(b, 0) + 76)) + 72, 6); },
               K::BadDirectory, "entry 6"},
        Damage{"unknown entry type", false, [](Bytes& b) { b[entryAt(b, 2) + 66] = 3; },
               K::BadDirectory, "type 3"},
        Damage{"first entry not the root", false, [](Bytes& b) { b[entryAt(b, 0) + 66] = 1; },
               K::BadDirectory, "type 1"},
        Damage{"name length past its field", false,
               [](Bytes& b) { set16(b, entryAt(b, 1) + 64, 66); }, K::BadDirectory, "66"},
        // Sizes past the end of their chains.
        Damage{"big stream size past its chain", false,
               [](Bytes& b) { set32(b, entryAt(b, 2) + 120, 1000000); }, K::BadStream, "1000000"},
        Damage{"small stream size past its chain", false,
               [](Bytes& b) { set32(b, entryAt(b, 3) + 120, 4000); }, K::BadStream, "4000"},
        Damage{"mini stream size past its chain", false,
               [](Bytes& b) { set32(b, entryAt(b, 0) + 120, 100000); }, K::BadStream, "100000"},
        // The DIFAT.
        Damage{"DIFAT loops", true,
               [](Bytes& b) {
                   set32(b, 72, 2);
                   set32(b, sectorAt(le32(b, 68)) + 127 * 4, le32(b, 68));
               },
               K::BadSector, "sector 111"}, // the DIFAT sector follows the 111 table sectors
        Damage{"DIFAT sector number past the largest", true,
               [](Bytes& b) { set32(b, 68, 0xFFFFFFF0); }, K::BadSector, "4294967280"},
        Damage{"DIFAT count too small for the table", true, [](Bytes& b) { set32(b, 72, 0); },
               K::BadHeader, "2"},
        Damage{"DIFAT lists a table sector twice", true,
               [](Bytes& b) { set32(b, sectorAt(le32(b, 68)), le32(b, 76)); }, K::BadSector,
               "second time"},
        Damage{"DIFAT chain ends before its count", true, [](Bytes& b) { set32(b, 72, 2); },
               K::BadSector, "counts 2"},
        Damage{"more table sectors than the DIFAT lists", true,
               [](Bytes& b) {
                   set32(b, 72, 2);
                   set32(b, 44, 111 + 127); // wants numbers where the DIFAT has free entries
               },
               K::BadSector, "0xFFFFFFFF"}),
    [](const auto& info) {
        std::string name = info.param.label;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

// ---- Truncated files ----

struct Cut {
    const char* label;
    bool large;
    std::function<std::size_t(const Bytes&)> keep;
};

class CompoundTruncated : public testing::TestWithParam<Cut> {};

TEST_P(CompoundTruncated, GivesACleanError)
{
    const Cut& p = GetParam();
    const Bytes& whole = p.large ? largeDocument() : smallDocument();
    const std::size_t keep = p.keep(whole);
    ASSERT_LT(keep, whole.size());
    const Bytes bytes(whole.begin(), whole.begin() + std::ptrdiff_t(keep));
    const auto result = CompoundFile::open(bytes);
    ASSERT_TRUE(std::holds_alternative<Error>(result)) << "opened " << keep << " bytes";
    const Error& e = std::get<Error>(result);
    EXPECT_EQ(int(e.kind), int(K::Truncated)) << e.message;
    EXPECT_FALSE(e.message.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Documents, CompoundTruncated,
    testing::Values(
        Cut{"nothing", false, [](const Bytes&) { return 0; }},
        Cut{"inside the signature", false, [](const Bytes&) { return 5; }},
        Cut{"inside the header", false, [](const Bytes&) { return 300; }},
        Cut{"header only", false, [](const Bytes&) { return 512; }},
        Cut{"inside the table", false, [](const Bytes&) { return 700; }},
        Cut{"inside the directory", false,
            [](const Bytes& b) { return sectorAt(le32(b, 48)) + 600; }},
        Cut{"inside the mini stream", false,
            [](const Bytes& b) { return sectorAt(startOf(b, 0)) + 100; }},
        Cut{"inside a big stream", false,
            [](const Bytes& b) { return sectorAt(startOf(b, 2)) + 2000; }},
        Cut{"last byte", false, [](const Bytes& b) { return b.size() - 1; }},
        Cut{"inside the DIFAT", true, [](const Bytes& b) { return sectorAt(le32(b, 68)) + 10; }},
        Cut{"half of a large stream", true, [](const Bytes& b) { return b.size() / 2; }},
        Cut{"last byte of a large document", true, [](const Bytes& b) { return b.size() - 1; }}),
    [](const auto& info) {
        std::string name = info.param.label;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(CompoundRead, RefusesIdsThatAreNoStream)
{
    const CompoundFile file = openOk(smallDocument());
    EXPECT_TRUE(std::holds_alternative<Error>(file.read(99)));
    EXPECT_TRUE(std::holds_alternative<Error>(file.read(6))) << "an unused entry";
    EXPECT_FALSE(file.contiguous(99).has_value());
}

TEST(CompoundRead, ScatteredStreamIsReadButNotGivenInPlace)
{
    // Swap two sectors of Beta: move its third sector's contents to where the fourth was and
    // relink the chain 5 6 8 7 9 ..., so the stream is intact but no longer in one piece.
    const Document d = make({{u"Alpha", 100}, {u"Beta", 5000}, {u"Gamma", 200}, {u"Empty", 0}});
    Bytes b = d.bytes;
    const std::uint32_t s = startOf(b, 2);
    std::swap_ranges(b.begin() + std::ptrdiff_t(sectorAt(s + 2)),
                     b.begin() + std::ptrdiff_t(sectorAt(s + 3)),
                     b.begin() + std::ptrdiff_t(sectorAt(s + 3)));
    set32(b, fatEntryAt(b, s + 1), s + 3);
    set32(b, fatEntryAt(b, s + 3), s + 2);
    set32(b, fatEntryAt(b, s + 2), s + 4);
    const CompoundFile file = openOk(b);
    EXPECT_FALSE(file.contiguous(2).has_value());
    auto whole = file.read(2);
    ASSERT_TRUE(std::holds_alternative<Bytes>(whole));
    EXPECT_TRUE(std::get<Bytes>(whole) == d.contents[1]);
}

// ---- Version 4 ----

// A version-4 document laid out by hand: 4096-byte sectors, the header alone in the first.
// Sectors: 0 table, 1 directory, 2 mini table, 3 mini stream, 4 on the big stream.
Bytes version4Document(const Bytes& big, const Bytes& small)
{
    constexpr std::size_t s = 4096;
    const std::uint32_t bigSectors = std::uint32_t((big.size() + s - 1) / s);
    const std::uint32_t miniSectors = std::uint32_t((small.size() + 63) / 64);
    Bytes b((5 + bigSectors) * s, 0);
    auto at = [&](std::uint32_t sector) { return (sector + 1) * s; };
    const std::uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(std::begin(signature), std::end(signature), b.begin());
    set16(b, 24, 0x3E);
    set16(b, 26, 4);
    set16(b, 28, 0xFFFE);
    set16(b, 30, 12);
    set16(b, 32, 6);
    set32(b, 40, 1); // directory sectors: counted in version 4
    set32(b, 44, 1);
    set32(b, 48, 1);
    set32(b, 56, 4096);
    set32(b, 60, 2);
    set32(b, 64, 1);
    set32(b, 68, EndOfChain);
    for (std::size_t i = 0; i < 109; ++i)
        set32(b, 76 + i * 4, i == 0 ? 0 : FreeSect);

    for (std::uint32_t i = 0; i < 1024; ++i)
        set32(b, at(0) + i * 4, FreeSect);
    set32(b, at(0), FatSect);
    for (std::uint32_t sector : {1u, 2u, 3u})
        set32(b, at(0) + sector * 4, EndOfChain);
    for (std::uint32_t i = 0; i < bigSectors; ++i)
        set32(b, at(0) + (4 + i) * 4, i + 1 < bigSectors ? 4 + i + 1 : EndOfChain);
    for (std::uint32_t i = 0; i < 1024; ++i)
        set32(b, at(2) + i * 4,
              i < miniSectors ? (i + 1 < miniSectors ? i + 1 : EndOfChain) : FreeSect);
    std::copy(small.begin(), small.end(), b.begin() + std::ptrdiff_t(at(3)));
    std::copy(big.begin(), big.end(), b.begin() + std::ptrdiff_t(at(4)));

    auto entry = [&](std::uint32_t id, std::u16string_view name, std::uint8_t type,
                     std::uint32_t right, std::uint32_t child, std::uint32_t start,
                     std::uint64_t size) {
        const std::size_t e = at(1) + id * 128;
        for (std::size_t i = 0; i < name.size(); ++i)
            set16(b, e + i * 2, name[i]);
        set16(b, e + 64, std::uint16_t((name.size() + 1) * 2));
        b[e + 66] = type;
        b[e + 67] = 1;
        set32(b, e + 68, NoStream);
        set32(b, e + 72, right);
        set32(b, e + 76, child);
        set32(b, e + 116, start);
        set32(b, e + 120, std::uint32_t(size));
        set32(b, e + 124, std::uint32_t(size >> 32));
    };
    for (std::uint32_t id = 3; id < 32; ++id)
        entry(id, u"", 0, NoStream, NoStream, 0, 0);
    for (std::uint32_t id = 3; id < 32; ++id)
        set16(b, at(1) + id * 128 + 64, 0);
    entry(0, u"Root Entry", 5, NoStream, 1, 3, std::uint64_t(miniSectors) * 64);
    entry(1, u"Big", 2, 2, NoStream, 4, big.size());
    entry(2, u"Small", 2, NoStream, NoStream, 0, small.size());
    return b;
}

TEST(CompoundVersion4, ReadsBigAndSmallStreams)
{
    const Bytes big = pattern(9000, 7);
    const Bytes small = pattern(300, 8);
    const Bytes doc = version4Document(big, small);
    const CompoundFile file = openOk(doc);
    const auto bigId = file.find(0, u"big");
    const auto smallId = file.find(0, u"SMALL");
    ASSERT_TRUE(bigId && smallId);
    auto gotBig = file.read(*bigId);
    auto gotSmall = file.read(*smallId);
    ASSERT_TRUE(std::holds_alternative<Bytes>(gotBig) && std::holds_alternative<Bytes>(gotSmall));
    EXPECT_TRUE(std::get<Bytes>(gotBig) == big);
    EXPECT_TRUE(std::get<Bytes>(gotSmall) == small);
    const auto inPlace = file.contiguous(*bigId);
    ASSERT_TRUE(inPlace.has_value());
    EXPECT_EQ(inPlace->data(), doc.data() + 5 * 4096);

    // Sizes keep their high half in version 4, so a huge one no longer fits its chain.
    Bytes huge = doc;
    set32(huge, 2 * 4096 + 128 + 124, 1);
    const auto result = CompoundFile::open(huge);
    ASSERT_TRUE(std::holds_alternative<Error>(result));
    EXPECT_EQ(int(std::get<Error>(result).kind), int(Error::Kind::BadStream));
}

// ---- Random damage ----

// Whatever bytes are changed, opening either fails with an error or gives streams that read
// within the document. Meant to run under a sanitizer as well.
TEST(CompoundRandomDamage, NeverReadsOutsideTheDocument)
{
    const Bytes& whole = smallDocument();
    std::uint32_t x = 12345;
    auto next = [&] {
        x = x * 1103515245u + 12345u;
        return x >> 8;
    };
    int opened = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes b = whole;
        const int changes = 1 + int(next() % 4);
        for (int i = 0; i < changes; ++i) {
            // Mostly the header, the tables and the directory, where damage matters.
            const std::size_t at = next() % 8 == 0 ? next() % b.size() : next() % (5 * 512);
            b[at] = next() % 3 == 0 ? std::uint8_t(0xFF) : std::uint8_t(next());
        }
        auto result = CompoundFile::open(b);
        if (auto* e = std::get_if<Error>(&result)) {
            EXPECT_FALSE(e->message.empty());
            EXPECT_LE(e->offset, b.size());
            continue;
        }
        ++opened;
        const CompoundFile& file = std::get<CompoundFile>(result);
        for (std::uint32_t id = 0; id < file.entries().size(); ++id) {
            auto read = file.read(id);
            if (auto* bytes = std::get_if<Bytes>(&read)) {
                EXPECT_EQ(bytes->size(), file.entries()[id].size);
            }
            if (auto inPlace = file.contiguous(id)) {
                EXPECT_GE(inPlace->data(), b.data());
                EXPECT_LE(inPlace->data() + inPlace->size(), b.data() + b.size());
            }
        }
    }
    EXPECT_GT(opened, 0) << "no change left the document readable: the damage is too coarse";
}

} // namespace
