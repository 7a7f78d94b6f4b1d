// Writes the binary seeds of the fuzz corpora with the project's own writers: small stored
// values (compound documents holding a recording object), metafiles and wave files. Run once by
// hand when a writer changes; its output is checked in under fuzz/corpus.
#include "formats/metafile/metafileplayer.h"
#include "tools/soundobject/soundobjectwriter.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void save(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
}

formats::metafile::Bitmap picture(int width, int height)
{
    formats::metafile::Bitmap bitmap{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.pixels.push_back(0xFF000000u | std::uint32_t(x * 40) << 16 |
                                    std::uint32_t(y * 40) << 8 | 0x80u);
    return bitmap;
}

std::vector<std::int16_t> tone(std::size_t frames)
{
    std::vector<std::int16_t> samples;
    for (std::size_t i = 0; i < frames; ++i)
        samples.push_back(std::int16_t(std::lround(8000 * std::sin(double(i) / 3))));
    return samples;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIRECTORY\n", argv[0]);
        return 2;
    }
    const fs::path corpus = argv[1];

    // Stored values: every stream in the mini stream, and one whose wave needs whole sectors.
    save(corpus / "storedvalue/small.bin",
         soundobject::storedValue(soundobject::makeStreams(tone(16), picture(2, 2))));
    save(corpus / "storedvalue/sectors.bin",
         soundobject::storedValue(soundobject::makeStreams(tone(2100), picture(1, 1))));

    save(corpus / "metafile/one-pixel.wmf",
         formats::metafile::writePictureMetafile(picture(1, 1), 26, 26));
    save(corpus / "metafile/three-by-two.wmf",
         formats::metafile::writePictureMetafile(picture(3, 2), 846, 564));
    save(corpus / "metafile/eight.wmf",
         formats::metafile::writePictureMetafile(picture(8, 8), -200, 200));

    save(corpus / "wave/mono16.wav", soundobject::waveFile(tone(40)));
    return 0;
}
