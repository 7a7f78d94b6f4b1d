// How long composing the stored recording takes: it runs at every build of Sondrel's stored
// object. Prints the median wall-clock and processor time of several runs; the processor time
// is the figure to read on a machine shared with other work.
//
// usage: composerecording [RUNS]
#include "tools/soundobject/composition.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<double> wall;
    std::vector<double> cpu;
    std::size_t samples = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t startCpu = std::clock();
        samples = soundobject::composeRecording().size();
        cpu.push_back(double(std::clock() - startCpu) * 1000.0 / CLOCKS_PER_SEC);
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%zu samples, %d runs: median %.0f ms wall, %.0f ms processor\n", samples, runs,
                wall[wall.size() / 2], cpu[cpu.size() / 2]);
    return 0;
}
