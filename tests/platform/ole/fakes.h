#pragma once

#include "platform/ole/oleobject.h"
#include "platform/ole/soundoutput.h"

#include <QString>

#include <string>
#include <thread>
#include <vector>

namespace oletest {

// A container's site that writes down what it was told, and on which thread.
class RecordingSite : public platform::ole::ClientSite {
public:
    void onViewChange(std::uint32_t aspect) override { note("view " + std::to_string(aspect)); }
    void onDataChange() override { note("data"); }
    void onShowWindow(bool open) override { note(open ? "window open" : "window closed"); }
    void onError(std::uint32_t code, const QString& detail) override
    {
        note("error " + std::to_string(code) + " " + detail.toStdString());
    }

    std::vector<std::string> calls;
    std::vector<std::thread::id> threads;

private:
    void note(std::string call)
    {
        calls.push_back(std::move(call));
        threads.push_back(std::this_thread::get_id());
    }
};

// A sound output that plays nothing: it writes down what it was asked to play and lets the test
// end the sound, from any thread, as the real one would.
class FakeSoundOutput : public platform::ole::SoundOutput {
public:
    struct Log {
        std::vector<std::string> calls;
        std::optional<std::string> failure; // what the next play() answers
        EndHandler ended;
        std::uint64_t frames = 0;
    };

    explicit FakeSoundOutput(Log& log)
        : log_(log)
    {}
    ~FakeSoundOutput() override { log_.calls.push_back("destroyed"); }

    std::optional<std::string> play(const formats::wave::Format& format,
                                    std::span<const std::uint8_t> samples,
                                    EndHandler ended) override
    {
        log_.calls.push_back("played " + std::to_string(samples.size()) + " bytes at " +
                             std::to_string(format.sampleRate));
        if (log_.failure)
            return log_.failure;
        log_.ended = std::move(ended);
        return std::nullopt;
    }
    void stop() override { log_.calls.push_back("stop"); }
    std::uint64_t framesPlayed() const override { return log_.frames; }

private:
    Log& log_;
};

} // namespace oletest
