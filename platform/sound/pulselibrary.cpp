#include "platform/sound/pulselibrary.h"

#include <dlfcn.h>

namespace platform::sound {

namespace {

// Sets `function` to the library's function `name`; false when it has none of that name.
template <typename F> bool resolve(void* handle, const char* name, F& function)
{
    function = reinterpret_cast<F>(::dlsym(handle, name));
    return function != nullptr;
}

} // namespace

const PulseLibrary* PulseLibrary::get()
{
    static const PulseLibrary* const loaded = []() -> const PulseLibrary* {
        // The library of the package whose headers we were built with. It is never unloaded:
        // its own threads and handlers may outlive any one sound.
        void* handle = ::dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return nullptr;
        static PulseLibrary lib;
        const bool complete =
            resolve(handle, "pa_sample_spec_valid", lib.pa_sample_spec_valid) &&
            resolve(handle, "pa_bytes_per_second", lib.pa_bytes_per_second) &&
            resolve(handle, "pa_mainloop_new", lib.pa_mainloop_new) &&
            resolve(handle, "pa_mainloop_free", lib.pa_mainloop_free) &&
            resolve(handle, "pa_mainloop_get_api", lib.pa_mainloop_get_api) &&
            resolve(handle, "pa_mainloop_prepare", lib.pa_mainloop_prepare) &&
            resolve(handle, "pa_mainloop_poll", lib.pa_mainloop_poll) &&
            resolve(handle, "pa_mainloop_dispatch", lib.pa_mainloop_dispatch) &&
            resolve(handle, "pa_mainloop_wakeup", lib.pa_mainloop_wakeup) &&
            resolve(handle, "pa_context_new", lib.pa_context_new) &&
            resolve(handle, "pa_context_connect", lib.pa_context_connect) &&
            resolve(handle, "pa_context_get_state", lib.pa_context_get_state) &&
            resolve(handle, "pa_context_disconnect", lib.pa_context_disconnect) &&
            resolve(handle, "pa_context_unref", lib.pa_context_unref) &&
            resolve(handle, "pa_stream_new", lib.pa_stream_new) &&
            resolve(handle, "pa_stream_connect_playback", lib.pa_stream_connect_playback) &&
            resolve(handle, "pa_stream_get_state", lib.pa_stream_get_state) &&
            resolve(handle, "pa_stream_writable_size", lib.pa_stream_writable_size) &&
            resolve(handle, "pa_stream_write", lib.pa_stream_write) &&
            resolve(handle, "pa_stream_drain", lib.pa_stream_drain) &&
            resolve(handle, "pa_stream_get_time", lib.pa_stream_get_time) &&
            resolve(handle, "pa_stream_disconnect", lib.pa_stream_disconnect) &&
            resolve(handle, "pa_stream_unref", lib.pa_stream_unref) &&
            resolve(handle, "pa_operation_cancel", lib.pa_operation_cancel) &&
            resolve(handle, "pa_operation_unref", lib.pa_operation_unref);
        return complete ? &lib : nullptr;
    }();
    return loaded;
}

} // namespace platform::sound
