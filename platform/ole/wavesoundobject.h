#pragma once

#include "platform/ole/objectstreams.h"
#include "platform/ole/oleobject.h"
#include "platform/ole/soundoutput.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <map>
#include <memory>

namespace platform::ole {

class ServerWindow;
class WaveformPeaks;

// The recording object and its server in one: it draws its cached picture, plays the recording
// from the storage's bytes in the background, and opens it in a window of its own.
class WaveSoundObject final : public OleObject {
public:
    enum VerbId : int { Play = 0, OpenWindow = 1 };

    // `streams` views the storage's bytes, which must outlive the object; `site` is the
    // container's until a verb names another.
    WaveSoundObject(ObjectStreams streams, ClientSite& site, std::unique_ptr<SoundOutput> output);
    ~WaveSoundObject() override;
    WaveSoundObject(const WaveSoundObject&) = delete;
    WaveSoundObject& operator=(const WaveSoundObject&) = delete;

    void setViewAdvise(std::uint32_t aspect, ClientSite* site) override;
    std::uint32_t dataAdvise(ClientSite& site) override;
    void dataUnadvise(std::uint32_t connection) override;
    void setHostNames(const std::u16string& application, const std::u16string& object) override;
    void setContainedObject(bool contained) override { contained_ = contained; }
    QSize extent(std::uint32_t aspect) const override;
    void draw(QPainter& painter, const QRect& bounds, std::uint32_t aspect) const override;
    std::vector<Verb> verbs() const override;
    void doVerb(int verb, ClientSite& site, QWidget* parent, const QRect& rect) override;
    void close(SaveOption option) override;

    bool isPlaying() const { return playing_; }
    bool isContained() const { return contained_; }
    bool windowShown() const { return windowShown_; }
    // The server's window, once it has been opened.
    ServerWindow* window() const { return window_.get(); }
    // "Wavesound in OleContainer1 - Sondrel": the object's kind, its name and its container's.
    QString windowTitle() const;
    // Shows how far the sound has come; the window's timer calls it while the sound plays.
    void refreshPosition();

private:
    // Starts the recording from its beginning; throws OleError when there is no sound output.
    void play();
    void stopPlaying();
    void showWindow(QWidget* parent, const QRect& rect);
    void hideWindow();
    void playbackEnded(unsigned generation, SoundOutput::End end, const QString& detail);
    void updateWindow();

    ObjectStreams streams_;
    ClientSite* site_;
    std::unique_ptr<SoundOutput> output_;

    QObject context_; // receives what the sound's thread hands over; gone with the object
    QTimer positionTimer_;
    std::unique_ptr<WaveformPeaks> peaks_; // made when the window first opens
    std::unique_ptr<ServerWindow> window_;
    bool windowShown_ = false;
    bool playing_ = false;
    unsigned generation_ = 0; // of the sound last started, so news of older ones is dropped

    std::uint32_t viewAspect_ = 0;
    ClientSite* viewSite_ = nullptr;
    std::map<std::uint32_t, ClientSite*> dataSites_;
    std::uint32_t nextConnection_ = 1;
    QString applicationName_;
    QString objectName_;
    bool contained_ = false;
};

} // namespace platform::ole
