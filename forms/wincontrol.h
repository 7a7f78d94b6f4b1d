#pragma once

#include "forms/control.h"

#include <QPalette>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <vector>

class QKeyEvent;
class QPainter;

namespace forms {

class ControlEventFilter;

// A control with a window of its own (a Qt widget). Its graphic children (labels) are painted
// on its surface before any child window, so they lie beneath every windowed sibling.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    QWidget* widget() const { return widget_; }
    const std::vector<TControl*>& controls() const { return controls_; }

    // Whether controls may be placed on it (forms and panels).
    virtual bool acceptsControls() const { return false; }

    int tabOrder() const { return tabOrder_; }
    void setTabOrder(int order) { tabOrder_ = order; }
    bool tabStop() const { return tabStop_; }
    void setTabStop(bool tabStop);

    bool focused() const;
    bool canFocus() const;
    virtual void setFocus();

    // Sees every key the control receives, before the control handles it.
    TKeyEvent onKeyDown;

    void setParent(TWinControl* parent) override;

    // The area its children are placed in, in its own coordinates.
    virtual QRect clientRect() const;
    // Places the aligned children: top and bottom edges first, then left and right, then the
    // client-aligned ones in what is left. `changed` is the child whose change asked for it.
    void realign(TControl* changed = nullptr);
    void loaded() override;

    // Paints the labels lying on this control, in definition order.
    void paintControls(QPainter& painter, const QRegion& dirty);
    virtual void paint(QPainter& painter, const QRegion& dirty);

    // The mouse on the control's own window, in its coordinates. Nothing happens by default.
    virtual void mouseDown(Qt::MouseButton, TShiftState, const QPoint&) {}
    virtual void mouseUp(Qt::MouseButton, TShiftState, const QPoint&) {}
    virtual void doubleClick() {}
    // The control's window gained or lost the focus.
    virtual void focusChanged() {}

    // Whether a key press moves the focus instead of reaching the control (Tab, Shift+Tab).
    virtual bool keyMovesFocus(int qtKey, Qt::KeyboardModifiers modifiers) const;
    // Returns false when the handler swallowed the key.
    bool keyDown(std::uint16_t& key, TShiftState shift);
    // What the control does with a key its widget would not handle as the platform's does;
    // true when it took the key.
    virtual bool keyDefault(const QKeyEvent&) { return false; }

protected:
    // Takes ownership of the widget that is this control's window.
    void setWidget(QWidget* widget);

    void boundsChanged() override;
    void visibleChanged() override;
    void enabledChanged() override;
    void fontChanged() override;
    void colorChanged() override;

    // Pushes the font into the widget, or lets the widget inherit its parent's.
    virtual void applyFont();
    // Builds the widget's palette from nothing: the font's colour for text unless the font is
    // inherited, and the control's colour for the role that paints its background, if any.
    void applyPalette();
    // The palette role the control's colour paints (the field of an edit); none by default.
    virtual QPalette::ColorRole colorRole() const { return QPalette::NoRole; }

private:
    friend class TControl;
    void insertControl(TControl* control);
    void removeControl(TControl* control);

    bool inheritsFont() const;

    QPointer<QWidget> widget_;
    ControlEventFilter* filter_ = nullptr;
    std::vector<TControl*> controls_;
    int tabOrder_ = -1;
    bool tabStop_ = false;
    bool aligning_ = false;
};

} // namespace forms
