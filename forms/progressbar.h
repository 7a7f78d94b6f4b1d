#pragma once

#include "forms/wincontrol.h"

#include <cstdint>

class QProgressBar;

namespace forms {

// A position inside [min, max] with a step, all 16-bit unsigned as in the platform's control.
// Values handed in are taken on their low 16 bits; a position outside the range is set to the
// nearest end; stepping past max starts over from min.
class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* owner);
    QProgressBar* progressBar() const { return bar_; }

    std::uint16_t min() const { return min_; }
    std::uint16_t max() const { return max_; }
    std::uint16_t position() const { return position_; }
    std::uint16_t step() const { return step_; }

    void setMin(int value);
    void setMax(int value);
    void setPosition(int value);
    void setStep(int value);
    void stepIt();

private:
    void update();

    QProgressBar* bar_;
    std::uint16_t min_ = 0;
    std::uint16_t max_ = 100;
    std::uint16_t position_ = 0;
    std::uint16_t step_ = 10;
};

} // namespace forms
