// Writes Sondrel's stored sound object to the file named on the command line. Run at build time;
// fails, writing nothing, when any part comes out at a size other than the layout's.
#include "tools/soundobject/composition.h"
#include "tools/soundobject/picture.h"
#include "tools/soundobject/soundobjectwriter.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: soundobjectgen <output-file>\n";
        return 2;
    }
    const std::string output = argv[1];
    std::remove(output.c_str());

    const std::vector<std::int16_t> samples = soundobject::composeRecording();
    const soundobject::Streams streams =
        soundobject::makeStreams(samples, soundobject::drawPicture());
    const std::vector<std::uint8_t> value = soundobject::storedValue(streams);
    if (const auto faults = soundobject::layoutFaults(streams, value); !faults.empty()) {
        std::cerr << "soundobjectgen: the stored sound object does not fit its layout:\n";
        for (const std::string& fault : faults)
            std::cerr << "  " << fault << '\n';
        return 1;
    }

    // Written under another name first, so an interrupted run leaves no file that looks done.
    const std::string partial = output + ".part";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(value.data()), std::streamsize(value.size()));
        if (!file.flush()) {
            std::cerr << "soundobjectgen: cannot write " << partial << '\n';
            std::remove(partial.c_str());
            return 1;
        }
    }
    if (std::rename(partial.c_str(), output.c_str()) != 0) {
        std::perror(("soundobjectgen: " + output).c_str());
        std::remove(partial.c_str());
        return 1;
    }
    return 0;
}
