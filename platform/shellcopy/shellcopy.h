#pragma once

#include "platform/shellcopy/copydialogs.h"
#include "platform/shellcopy/fileio.h"
#include "platform/shellcopy/shellfileoperation.h"

#include <chrono>

namespace shellcopy {

// The shell's copy on this system. The copy runs on a worker thread while the calling thread
// waits in an event loop, so the program's timers keep ticking and its windows keep taking
// clicks; the questions the copy asks are put to the dialogs on the calling thread. If the
// program is told to end meanwhile, the copy is cancelled and the file being written removed
// before perform() returns. While a copy runs, a perform() reached from the program's clicks
// copies nothing and fails at once: a second copy would take over the running one's dialogs
// and write into the same target.
class ShellCopy final : public ShellFileOperation {
public:
    enum Result { Ok = 0, Failed = 1, BadRequest = 2, Cancelled = 1223 };

    struct Options {
        // Copies that end sooner show no progress at all.
        std::chrono::milliseconds progressDelay{500};
        const FileIo* io = &FileIo::system();
    };

    explicit ShellCopy(CopyDialogs& dialogs);
    ShellCopy(CopyDialogs& dialogs, Options options);

    int perform(FileOperationRequest& request) override;

private:
    CopyDialogs& dialogs_;
    Options options_;
    bool running_ = false;
};

} // namespace shellcopy
