#pragma once

#include "scopedenv.h"

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A PulseAudio server of the test's own, with a null sink "testsink" (44.1 kHz, mono) whose
// monitor can be recorded to hear what really came out. Everything it keeps stays in a
// temporary directory, and PULSE_SERVER names it while it runs.
class PrivatePulseServer {
public:
    PrivatePulseServer() = default;
    ~PrivatePulseServer() { stop(); }
    PrivatePulseServer(const PrivatePulseServer&) = delete;
    PrivatePulseServer& operator=(const PrivatePulseServer&) = delete;

    // Starts the server; the reason when it did not start.
    std::optional<std::string> start();
    // Stops recording and the server and removes the directory; false when the server did not
    // end within 10 s. Harmless when nothing runs.
    bool stop();

    const std::filesystem::path& dir() const { return dir_; }

    // Records the sink's monitor until stopRecording(); returns once the recorder is connected,
    // false when it did not connect.
    bool startRecording();
    std::vector<std::int16_t> stopRecording();

private:
    bool stopServer();

    std::filesystem::path dir_;
    std::vector<std::string> daemonEnv_;
    bool daemonStarted_ = false;
    std::optional<ScopedEnv> server_;
    pid_t recorder_ = -1;
};
