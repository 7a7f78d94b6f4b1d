#pragma once

#include <QWidget>

namespace forms {

class TWinControl;

// The window of a container control: it asks its control to paint itself and the labels on it.
class Surface : public QWidget {
public:
    explicit Surface(TWinControl* control, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

    TWinControl* control_;
};

} // namespace forms
