#pragma once

#include "forms/align.h"
#include "forms/color.h"
#include "forms/component.h"
#include "forms/events.h"
#include "forms/font.h"

#include <QRect>
#include <QString>

namespace forms {

class TWinControl;

// Anything with a place on a window. Coordinates are pixels of the parent's client area.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* parent() const { return parent_; }
    virtual void setParent(TWinControl* parent);

    int left() const { return bounds_.x(); }
    int top() const { return bounds_.y(); }
    int width() const { return bounds_.width(); }
    int height() const { return bounds_.height(); }
    QRect boundsRect() const { return bounds_; }
    void setLeft(int v) { setBounds(v, top(), width(), height()); }
    void setTop(int v) { setBounds(left(), v, width(), height()); }
    void setWidth(int v) { setBounds(left(), top(), v, height()); }
    void setHeight(int v) { setBounds(left(), top(), width(), v); }
    virtual void setBounds(int left, int top, int width, int height);

    // An aligned control is placed by its parent, and placed again whenever the parent's client
    // area changes; its own width (alLeft, alRight) or height (alTop, alBottom) is kept.
    TAlign align() const { return align_; }
    void setAlign(TAlign align);

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    void show() { setVisible(true); }
    void hide() { setVisible(false); }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // Caption and text are one value, as for the platform's windows.
    const QString& caption() const { return text_; }
    void setCaption(const QString& text);
    const QString& text() const { return text_; }
    void setText(const QString& text) { setCaption(text); }

    TFont& font() { return font_; }
    const TFont& font() const { return font_; }
    bool parentFont() const { return parentFont_; }
    void setParentFont(bool parentFont);

    TColor color() const { return color_; }
    void setColor(TColor color);
    bool parentColor() const { return parentColor_; }
    void setParentColor(bool parentColor);

    TNotifyEvent onClick;
    virtual void click();

protected:
    virtual void boundsChanged() {}
    virtual void visibleChanged() {}
    virtual void enabledChanged() {}
    virtual void textChanged() {}
    virtual void fontChanged() {}
    virtual void colorChanged() {}

    // Takes the parent's font (or colour) without giving up ParentFont (ParentColor).
    void adoptParentFont();
    void adoptParentColor();
    friend class TWinControl;

private:
    TWinControl* parent_ = nullptr;
    QRect bounds_;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    QString text_;
    TFont font_;
    bool parentFont_ = true;
    bool adopting_ = false;
    TColor color_ = colors::clBtnFace;
    bool parentColor_ = false;
};

} // namespace forms
