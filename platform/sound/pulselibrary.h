#pragma once

#include <pulse/pulseaudio.h>

namespace platform::sound {

// The PulseAudio client library, loaded when the first sound is made instead of when the program
// starts: it brings some twenty libraries of its own (sound file codecs, system logging,
// cryptography), and mapping and relocating them cost every start-up a few milliseconds, sound
// or no sound. The members are the library's functions of the same names.
class PulseLibrary {
public:
    // The library, loaded by the first call from any thread; nothing when it is not installed or
    // lacks one of the functions. Loaded once, it stays for the rest of the program.
    static const PulseLibrary* get();

    decltype(&::pa_sample_spec_valid) pa_sample_spec_valid = nullptr;
    decltype(&::pa_bytes_per_second) pa_bytes_per_second = nullptr;
    decltype(&::pa_mainloop_new) pa_mainloop_new = nullptr;
    decltype(&::pa_mainloop_free) pa_mainloop_free = nullptr;
    decltype(&::pa_mainloop_get_api) pa_mainloop_get_api = nullptr;
    decltype(&::pa_mainloop_prepare) pa_mainloop_prepare = nullptr;
    decltype(&::pa_mainloop_poll) pa_mainloop_poll = nullptr;
    decltype(&::pa_mainloop_dispatch) pa_mainloop_dispatch = nullptr;
    decltype(&::pa_mainloop_wakeup) pa_mainloop_wakeup = nullptr;
    decltype(&::pa_context_new) pa_context_new = nullptr;
    decltype(&::pa_context_connect) pa_context_connect = nullptr;
    decltype(&::pa_context_get_state) pa_context_get_state = nullptr;
    decltype(&::pa_context_disconnect) pa_context_disconnect = nullptr;
    decltype(&::pa_context_unref) pa_context_unref = nullptr;
    decltype(&::pa_stream_new) pa_stream_new = nullptr;
    decltype(&::pa_stream_connect_playback) pa_stream_connect_playback = nullptr;
    decltype(&::pa_stream_get_state) pa_stream_get_state = nullptr;
    decltype(&::pa_stream_writable_size) pa_stream_writable_size = nullptr;
    decltype(&::pa_stream_write) pa_stream_write = nullptr;
    decltype(&::pa_stream_drain) pa_stream_drain = nullptr;
    decltype(&::pa_stream_get_time) pa_stream_get_time = nullptr;
    decltype(&::pa_stream_disconnect) pa_stream_disconnect = nullptr;
    decltype(&::pa_stream_unref) pa_stream_unref = nullptr;
    decltype(&::pa_operation_cancel) pa_operation_cancel = nullptr;
    decltype(&::pa_operation_unref) pa_operation_unref = nullptr;

private:
    PulseLibrary() = default;
};

} // namespace platform::sound
