#pragma once

#include "platform/shellcopy/copydialogs.h"

#include <memory>

class QDialog;
class QProgressDialog;

namespace shellcopy {

// The copy's dialogs on Qt. They belong to no window, as the shell's belong to the program's
// hidden one: the program's windows keep taking clicks while a question waits for its answer.
class QtCopyDialogs final : public CopyDialogs {
public:
    QtCopyDialogs();
    ~QtCopyDialogs() override;

    bool confirmCreateFolder(const QString& folder) override;
    ReplaceAnswer askReplace(const QString& target) override;
    void showError(const QString& message) override;
    void abortQuestion() override;

    void openProgress(const QString& name, std::uint64_t total,
                      std::function<void()> cancel) override;
    void updateProgress(std::uint64_t done) override;
    void closeProgress() override;

private:
    void ask(QDialog& question);

    QDialog* question_ = nullptr;
    std::unique_ptr<QProgressDialog> progress_;
    QString progressName_;
    std::uint64_t total_ = 0;
};

} // namespace shellcopy
