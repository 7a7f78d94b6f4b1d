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
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    TWinControl* control_;
};

} // namespace forms
