#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

class QLabel;
class QPushButton;

namespace platform::ole {

class WaveformPeaks;
class WaveformView;

// The recording object's own window, opened by its "open" verb: the recording's outline with a
// cursor, a play/stop button and the position. It only shows and asks; the object plays.
class ServerWindow : public QWidget {
    Q_OBJECT
public:
    // `peaks` must outlive the window; `sampleRate` converts frames to time.
    ServerWindow(const WaveformPeaks& peaks, std::uint32_t sampleRate);

    void setPlaying(bool playing);
    bool playing() const { return playing_; }
    void setPosition(std::uint64_t frame);

    // "0:42 / 2:50": the position and the length, in minutes and whole seconds.
    static QString positionText(std::uint64_t frame, std::uint64_t frames,
                                std::uint32_t sampleRate);

    QPushButton* playButton() const { return button_; }
    QLabel* positionLabel() const { return position_; }
    WaveformView* waveform() const { return view_; }

signals:
    void playRequested();
    void stopRequested();
    // The user closed the window; it is hidden, not destroyed.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    const WaveformPeaks& peaks_;
    std::uint32_t sampleRate_;
    bool playing_ = false;
    WaveformView* view_;
    QPushButton* button_;
    QLabel* position_;
};

} // namespace platform::ole
