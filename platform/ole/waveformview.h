#pragma once

#include <QWidget>

#include <cstdint>

namespace platform::ole {

class WaveformPeaks;

// The whole recording drawn as its loudness outline, one column per pixel, with a cursor at the
// frame being played.
class WaveformView : public QWidget {
    Q_OBJECT
public:
    // `peaks` must outlive the view.
    explicit WaveformView(const WaveformPeaks& peaks, QWidget* parent = nullptr);

    void setCursorFrame(std::uint64_t frame);
    std::uint64_t cursorFrame() const { return cursor_; }
    // The pixel column of the cursor at the view's present width.
    int cursorColumn() const;

    QSize sizeHint() const override { return {480, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const WaveformPeaks& peaks_;
    std::uint64_t cursor_ = 0;
};

} // namespace platform::ole
