// The sound client library is mapped only once a sound is made, so that programs which start
// without making one do not pay for loading it and the twenty libraries it brings. This test
// program links nothing else that could bring it in.

#include "platform/sound/pulselibrary.h"
#include "platform/sound/pulseplayback.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

bool clientLibraryMapped()
{
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find("/libpulse.so") != std::string::npos)
            return true;
    return false;
}

TEST(PulseLibrary, IsMappedOnlyWhenTheFirstSoundIsMade)
{
    ASSERT_FALSE(clientLibraryMapped()) << "linked in: every start-up pays for loading it";
    const auto playback = platform::sound::PulsePlayback::create({1, 44100, 16});
    ASSERT_TRUE(playback);
    EXPECT_TRUE(clientLibraryMapped());
    const platform::sound::PulseLibrary* lib = platform::sound::PulseLibrary::get();
    ASSERT_TRUE(lib) << "libpulse.so.0 is installed with the headers, so all functions resolve";
    EXPECT_EQ(lib, platform::sound::PulseLibrary::get()) << "loaded once";
}

} // namespace
