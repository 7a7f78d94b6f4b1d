#include "platform/shellcopy/shellcopy.h"

#include "platform/shellcopy/copier.h"
#include "platform/shellcopy/copytexts.h"
#include "platform/shellcopy/namelist.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace shellcopy {

namespace {

// What the worker and the user-interface thread share during one copy. The worker asks its
// questions through here and waits for the answer or for cancellation, whichever comes first.
class Job final : public CopyObserver, public std::enable_shared_from_this<Job> {
public:
    Job(CopyDialogs& dialogs, QObject& context)
        : dialogs_(dialogs)
        , context_(context)
    {}

    bool confirmCreateFolder(const std::string& folder) override
    {
        return ask<bool>(
            [folder](CopyDialogs& d) {
                return d.confirmCreateFolder(QString::fromStdString(folder));
            },
            false);
    }

    ReplaceAnswer askReplace(const std::string& target) override
    {
        return ask<ReplaceAnswer>(
            [target](CopyDialogs& d) { return d.askReplace(QString::fromStdString(target)); },
            ReplaceAnswer::Cancel);
    }

    void progress(std::uint64_t done, std::uint64_t total) override
    {
        total_.store(total, std::memory_order_relaxed);
        done_.store(done, std::memory_order_relaxed);
        measured_ = true;
    }

    bool cancelled() override { return cancelled_.load(); }

    void cancel()
    {
        {
            std::lock_guard lock(mutex_);
            cancelled_ = true;
        }
        changed_.notify_all();
    }

    std::uint64_t done() const { return done_.load(std::memory_order_relaxed); }
    std::uint64_t total() const { return total_.load(std::memory_order_relaxed); }
    bool asking() const { return asking_.load(); }
    // The copy knows how many bytes it will write.
    bool measured() const { return measured_.load(); }

    CopyResult result;
    std::atomic<bool> finished{false};

private:
    template <typename T> T ask(std::function<T(CopyDialogs&)> question, T whenCancelled)
    {
        // The answer outlives this call: a question still open when the copy is cancelled is
        // answered into nothing.
        auto answer = std::make_shared<std::optional<T>>();
        std::unique_lock lock(mutex_);
        if (cancelled_)
            return whenCancelled;
        asking_ = true;
        QMetaObject::invokeMethod(
            &context_,
            [self = shared_from_this(), answer, question] {
                // Cancelled before the question came up: the worker no longer waits for it.
                if (self->cancelled_)
                    return;
                const T given = question(self->dialogs_);
                {
                    std::lock_guard lock(self->mutex_);
                    *answer = given;
                }
                self->changed_.notify_all();
            },
            Qt::QueuedConnection);
        changed_.wait(lock, [&] { return answer->has_value() || cancelled_.load(); });
        asking_ = false;
        return answer->has_value() ? **answer : whenCancelled;
    }

    CopyDialogs& dialogs_;
    QObject& context_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> asking_{false};
    std::atomic<bool> measured_{false};
    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::uint64_t> total_{0};
};

} // namespace

ShellCopy::ShellCopy(CopyDialogs& dialogs)
    : ShellCopy(dialogs, Options())
{}

ShellCopy::ShellCopy(CopyDialogs& dialogs, Options options)
    : dialogs_(dialogs)
    , options_(options)
{}

int ShellCopy::perform(FileOperationRequest& request)
{
    if (running_)
        return Failed;
    running_ = true;
    const auto notRunning = qScopeGuard([this] { running_ = false; });
    request.anyOperationsAborted = false;
    if (request.operation != FileOperationRequest::Copy)
        return BadRequest;
    const NameList::Result sources = NameList::parse(request.from);
    const NameList::Result destinations = NameList::parse(request.to);
    if (!sources.ok || !destinations.ok || sources.names.empty() ||
        destinations.names.size() != 1) {
        dialogs_.showError(QString::fromStdString(texts::badRequest()));
        return BadRequest;
    }
    const std::string destination = destinations.names.front();

    QEventLoop loop;
    // Calls queued by the worker end with this object, so none reaches a finished copy.
    QObject context;
    auto job = std::make_shared<Job>(dialogs_, context);
    const FileIo& io = *options_.io;

    std::thread worker([job, &io, &loop, &context, names = sources.names, destination] {
        try {
            Copier copier(*job, io);
            for (const std::string& source : names) {
                job->result = copier.copy(source, destination);
                if (job->result.outcome != CopyResult::Done)
                    break;
            }
        } catch (const std::exception& e) {
            job->result = {CopyResult::Failed, e.what()};
        }
        job->finished = true;
        QMetaObject::invokeMethod(
            &context, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });

    QElapsedTimer started;
    started.start();
    bool progressOpen = false;
    const QString name = QString::fromStdString(sources.names.front());
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, &context, [&] {
        if (!progressOpen) {
            // A question on screen is not covered by a progress display that appears under it.
            if (job->finished || job->asking() || !job->measured() ||
                started.elapsed() < options_.progressDelay.count())
                return;
            dialogs_.openProgress(name, job->total(), [this, job] {
                job->cancel();
                dialogs_.abortQuestion();
            });
            progressOpen = true;
        }
        dialogs_.updateProgress(job->done());
    });
    poll.start();

    // Returns early when the program is told to end: the copy is then cancelled, which removes
    // the file being written, rather than cut off by the end of the process.
    loop.exec();
    const bool interrupted = !job->finished;
    if (interrupted) {
        job->cancel();
        dialogs_.abortQuestion();
    }
    poll.stop();
    if (progressOpen)
        dialogs_.closeProgress();
    worker.join();

    switch (job->result.outcome) {
    case CopyResult::Done:
        return Ok;
    case CopyResult::Cancelled:
        request.anyOperationsAborted = true;
        return Cancelled;
    case CopyResult::Failed:
        break;
    }
    if (!interrupted)
        dialogs_.showError(QString::fromStdString(job->result.message));
    return Failed;
}

} // namespace shellcopy
