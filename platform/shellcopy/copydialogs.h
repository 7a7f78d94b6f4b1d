#pragma once

#include "platform/shellcopy/copyobserver.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace shellcopy {

// The copy's dialogs, on the user-interface thread. Questions return when answered; the
// progress display stays open, without blocking, until closed.
class CopyDialogs {
public:
    virtual ~CopyDialogs() = default;

    virtual bool confirmCreateFolder(const QString& folder) = 0;
    virtual ReplaceAnswer askReplace(const QString& target) = 0;
    virtual void showError(const QString& message) = 0;
    // Takes down the question on screen, if any, as when the copy is cancelled meanwhile: the
    // question then returns as if cancelled (no folder is created).
    virtual void abortQuestion() = 0;

    // cancel is called when the user presses Cancel.
    virtual void openProgress(const QString& name, std::uint64_t total,
                              std::function<void()> cancel) = 0;
    virtual void updateProgress(std::uint64_t done) = 0;
    virtual void closeProgress() = 0;
};

} // namespace shellcopy
