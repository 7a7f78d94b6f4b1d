#include "platform/ole/wavesoundobject.h"

#include "platform/ole/metafilepainter.h"
#include "platform/ole/oleerror.h"
#include "platform/ole/serverwindow.h"
#include "platform/ole/waveformpeaks.h"

#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace platform::ole {

namespace {
// How often the window's position follows the sound.
constexpr int positionInterval = 50; // ms
} // namespace

WaveSoundObject::WaveSoundObject(ObjectStreams streams, ClientSite& site,
                                 std::unique_ptr<SoundOutput> output)
    : streams_(std::move(streams))
    , site_(&site)
    , output_(std::move(output))
{
    positionTimer_.setInterval(positionInterval);
    QObject::connect(&positionTimer_, &QTimer::timeout, &context_, [this] { refreshPosition(); });
}

WaveSoundObject::~WaveSoundObject()
{
    // The sound's thread must end before anything it hands news to goes away.
    output_->stop();
    positionTimer_.stop();
    window_.reset();
}

void WaveSoundObject::setViewAdvise(std::uint32_t aspect, ClientSite* site)
{
    viewAspect_ = aspect;
    viewSite_ = site;
}

std::uint32_t WaveSoundObject::dataAdvise(ClientSite& site)
{
    const std::uint32_t connection = nextConnection_++;
    dataSites_[connection] = &site;
    return connection;
}

void WaveSoundObject::dataUnadvise(std::uint32_t connection)
{
    // An unknown connection is already gone; the container drops its notices while unloading,
    // where a failure would help nobody.
    dataSites_.erase(connection);
}

void WaveSoundObject::setHostNames(const std::u16string& application, const std::u16string& object)
{
    applicationName_ = QString::fromStdU16String(application);
    objectName_ = QString::fromStdU16String(object);
    if (window_)
        window_->setWindowTitle(windowTitle());
}

QString WaveSoundObject::windowTitle() const
{
    QString title = streams_.userType.isEmpty() ? QStringLiteral("Wavesound") : streams_.userType;
    if (!objectName_.isEmpty())
        title += QStringLiteral(" in ") + objectName_;
    if (!applicationName_.isEmpty())
        title += QStringLiteral(" - ") + applicationName_;
    return title;
}

QSize WaveSoundObject::extent(std::uint32_t aspect) const
{
    if (aspect != streams_.presentation.aspect)
        throw OleError(codes::InvalidArgument,
                       "Keine Darstellung für den Aspekt " + std::to_string(aspect));
    return streams_.presentation.extent;
}

void WaveSoundObject::draw(QPainter& painter, const QRect& bounds, std::uint32_t aspect) const
{
    if (aspect != streams_.presentation.aspect)
        return; // nothing cached for it: the container's background stays
    // A damaged picture is drawn up to its damage; the object stays usable.
    drawMetafile(painter, bounds, streams_.presentation.metafile);
}

std::vector<Verb> WaveSoundObject::verbs() const
{
    return {
        {Play, QStringLiteral("&Wiedergeben"), 0, Verb::NeverDirties | Verb::OnContainerMenu},
        {OpenWindow, QStringLiteral("Ö&ffnen"), 0, Verb::OnContainerMenu},
    };
}

void WaveSoundObject::doVerb(int verb, ClientSite& site, QWidget* parent, const QRect& rect)
{
    switch (verb) {
    case Play:
        site_ = &site;
        play();
        return;
    case OpenWindow:
    case Show:
    case Open:
        site_ = &site;
        showWindow(parent, rect);
        return;
    case Hide:
        site_ = &site;
        hideWindow();
        return;
    default:
        throw OleError(codes::InvalidVerb,
                       "Das Objekt kennt das Verb " + std::to_string(verb) + " nicht");
    }
}

void WaveSoundObject::close(SaveOption)
{
    // Nothing is ever written back: the recording is only read.
    stopPlaying();
    hideWindow();
}

void WaveSoundObject::play()
{
    const unsigned generation = ++generation_;
    auto ended = [this, generation](SoundOutput::End end, const std::string& detail) {
        // On the sound's thread: hand the news to the user-interface thread.
        QMetaObject::invokeMethod(
            &context_,
            [this, generation, end, text = QString::fromStdString(detail)] {
                playbackEnded(generation, end, text);
            },
            Qt::QueuedConnection);
    };
    const std::optional<std::string> failure =
        output_->play(streams_.wave.format, streams_.wave.samples, std::move(ended));
    if (failure) {
        playing_ = false;
        updateWindow();
        throw OleError(codes::ServerFailed, *failure);
    }
    playing_ = true;
    updateWindow();
}

void WaveSoundObject::stopPlaying()
{
    ++generation_;
    output_->stop();
    playing_ = false;
    updateWindow();
}

void WaveSoundObject::playbackEnded(unsigned generation, SoundOutput::End end,
                                    const QString& detail)
{
    if (generation != generation_)
        return; // a sound cut off since
    playing_ = false;
    updateWindow();
    if (end == SoundOutput::End::Failed)
        site_->onError(codes::ServerFailed, detail);
}

void WaveSoundObject::updateWindow()
{
    if (!window_)
        return;
    window_->setPlaying(playing_);
    refreshPosition();
    if (playing_ && windowShown_)
        positionTimer_.start();
    else
        positionTimer_.stop();
}

void WaveSoundObject::refreshPosition()
{
    if (window_)
        window_->setPosition(output_->framesPlayed());
}

namespace {

// Where the server's window goes: below the container's window, so the shaded picture stays in
// sight; above it when there is no room below; over its corner when there is room for neither.
QPoint placeBeside(const QWidget& parent, const QRect& rect, const QSize& size)
{
    const QRect frame = parent.window()->frameGeometry();
    const QScreen* screen = parent.screen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const int gap = 8;
    const QPoint below(frame.left(), frame.bottom() + 1 + gap);
    const QPoint above(frame.left(), frame.top() - gap - size.height());
    for (const QPoint p : {below, above})
        if (area.isNull() || area.contains(QRect(p, size)))
            return p;
    return parent.mapToGlobal(rect.topLeft()) + QPoint(24, 24);
}

} // namespace

void WaveSoundObject::showWindow(QWidget* parent, const QRect& rect)
{
    if (!window_) {
        peaks_ = std::make_unique<WaveformPeaks>(streams_.wave.format, streams_.wave.samples);
        window_ = std::make_unique<ServerWindow>(*peaks_, streams_.wave.format.sampleRate);
        window_->setWindowTitle(windowTitle());
        if (parent)
            window_->move(placeBeside(*parent, rect, window_->size()));
        QObject::connect(window_.get(), &ServerWindow::playRequested, &context_, [this] {
            // A click in the server's own window: there is no verb to fail, so the container
            // reports the failure as it reports any other of the server's.
            try {
                play();
            } catch (const OleError& error) {
                site_->onError(error.code(), QString::fromStdString(error.what()));
            }
        });
        QObject::connect(window_.get(), &ServerWindow::stopRequested, &context_,
                         [this] { stopPlaying(); });
        QObject::connect(window_.get(), &ServerWindow::closedByUser, &context_, [this] {
            if (!windowShown_)
                return;
            windowShown_ = false;
            positionTimer_.stop();
            site_->onShowWindow(false);
        });
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
    if (windowShown_)
        return;
    windowShown_ = true;
    updateWindow();
    site_->onShowWindow(true);
}

void WaveSoundObject::hideWindow()
{
    if (!windowShown_)
        return;
    windowShown_ = false;
    positionTimer_.stop();
    window_->hide();
    site_->onShowWindow(false);
}

} // namespace platform::ole
