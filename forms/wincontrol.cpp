#include "forms/wincontrol.h"

#include "forms/controleventfilter.h"
#include "forms/dispatch.h"
#include "forms/form.h"
#include "forms/graphiccontrol.h"

#include <QPainter>

#include <algorithm>

namespace forms {

TWinControl::TWinControl(TComponent* owner)
    : TControl(owner)
    , filter_(new ControlEventFilter(this))
{}

TWinControl::~TWinControl()
{
    for (TControl* c = parent(); c; c = c->parent()) {
        if (auto* form = dynamic_cast<TForm*>(c); form && form->activeControl() == this)
            form->setActiveControl(nullptr);
    }
    // Children are owned (and normally already destroyed) by the form; any left must not point
    // back at a parent that is going away.
    for (TControl* c : std::vector<TControl*>(controls_))
        c->setParent(nullptr);
    delete widget_.data();
    delete filter_;
}

void TWinControl::setWidget(QWidget* widget)
{
    widget_ = widget;
    widget->installEventFilter(filter_);
    widget->setAutoFillBackground(false);
    widget->setGeometry(boundsRect());
    if (!parentFont())
        applyFont();
}

void TWinControl::setParent(TWinControl* parent)
{
    TControl::setParent(parent);
    if (!widget_)
        return;
    if (!parent) {
        // A control taken off its window has nowhere to show; it must not become a window.
        widget_->hide();
        widget_->setParent(nullptr);
        return;
    }
    widget_->setParent(parent->widget());
    widget_->setGeometry(boundsRect());
    // Definition order is stacking order: the later sibling lies above.
    widget_->raise();
    widget_->setVisible(visible());
    applyFont();
}

void TWinControl::insertControl(TControl* control)
{
    controls_.push_back(control);
}

void TWinControl::removeControl(TControl* control)
{
    std::erase(controls_, control);
}

void TWinControl::setTabStop(bool tabStop)
{
    tabStop_ = tabStop;
    if (widget_)
        widget_->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool TWinControl::focused() const
{
    return widget_ && widget_->hasFocus();
}

bool TWinControl::canFocus() const
{
    for (const TControl* c = this; c; c = c->parent()) {
        if (!c->visible() || !c->enabled())
            return false;
    }
    return widget_ != nullptr;
}

void TWinControl::setFocus()
{
    if (widget_)
        widget_->setFocus(Qt::OtherFocusReason);
}

void TWinControl::paintControls(QPainter& painter, const QRegion& dirty)
{
    for (TControl* c : controls_) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->visible() || !dirty.intersects(g->boundsRect()))
            continue;
        painter.save();
        painter.translate(g->boundsRect().topLeft());
        painter.setClipRect(QRect(QPoint(0, 0), g->boundsRect().size()));
        g->paint(painter);
        painter.restore();
    }
}

void TWinControl::paint(QPainter& painter, const QRegion& dirty)
{
    for (const QRect& r : dirty)
        painter.fillRect(r, toQColor(color()));
    paintControls(painter, dirty);
}

bool TWinControl::keyMovesFocus(int qtKey, Qt::KeyboardModifiers modifiers) const
{
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    return qtKey == Qt::Key_Tab || qtKey == Qt::Key_Backtab;
}

bool TWinControl::keyDown(std::uint16_t& key, TShiftState shift)
{
    const std::uint16_t before = key;
    fire(onKeyDown, this, key, shift);
    return before == 0 || key != 0;
}

void TWinControl::boundsChanged()
{
    if (widget_)
        widget_->setGeometry(boundsRect());
    realign();
}

void TWinControl::loaded()
{
    TControl::loaded();
    realign();
}

QRect TWinControl::clientRect() const
{
    return {QPoint(0, 0), boundsRect().size()};
}

void TWinControl::realign(TControl* changed)
{
    // Placing one child must not start placing them all again; and while a definition is read,
    // positions are still coming in, so aligning waits until it has been read whole.
    if (aligning_ || isLoading())
        return;
    aligning_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{aligning_};

    const QRect area = clientRect();
    int left = area.left();
    int top = area.top();
    int right = area.left() + area.width();
    int bottom = area.top() + area.height();
    auto place = [](TControl* c, int l, int t, int r, int b) {
        c->setBounds(l, t, std::max(0, r - l), std::max(0, b - t));
    };

    for (TAlign kind :
         {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        std::vector<TControl*> aligned;
        if (changed && changed->align() == kind && changed->visible())
            aligned.push_back(changed);
        for (TControl* c : controls_) {
            if (c != changed && c->align() == kind && c->visible())
                aligned.push_back(c);
        }
        // Controls on the same edge keep the order their positions give them, nearest the
        // edge first. On a tie the control that just changed wins (one shown again, or moved
        // by code, goes where it was put), then definition order.
        std::stable_sort(aligned.begin(), aligned.end(), [kind](TControl* a, TControl* b) {
            switch (kind) {
            case TAlign::alTop:
                return a->top() < b->top();
            case TAlign::alBottom:
                return a->top() + a->height() > b->top() + b->height();
            case TAlign::alLeft:
                return a->left() < b->left();
            case TAlign::alRight:
                return a->left() + a->width() > b->left() + b->width();
            default:
                return false;
            }
        });
        for (TControl* c : aligned) {
            switch (kind) {
            case TAlign::alTop: {
                const int h = c->height();
                place(c, left, top, right, top + h);
                top += h;
                break;
            }
            case TAlign::alBottom: {
                const int h = c->height();
                place(c, left, bottom - h, right, bottom);
                bottom -= h;
                break;
            }
            case TAlign::alLeft: {
                const int w = c->width();
                place(c, left, top, left + w, bottom);
                left += w;
                break;
            }
            case TAlign::alRight: {
                const int w = c->width();
                place(c, right - w, top, right, bottom);
                right -= w;
                break;
            }
            case TAlign::alClient:
                place(c, left, top, right, bottom);
                break;
            case TAlign::alNone:
                break;
            }
        }
    }
}

void TWinControl::visibleChanged()
{
    if (widget_ && parent())
        widget_->setVisible(visible());
}

void TWinControl::enabledChanged()
{
    if (widget_)
        widget_->setEnabled(enabled());
}

void TWinControl::fontChanged()
{
    applyFont();
    for (TControl* c : controls_) {
        if (c->parentFont())
            c->adoptParentFont();
    }
}

void TWinControl::colorChanged()
{
    applyPalette();
    if (widget_)
        widget_->update();
    for (TControl* c : controls_) {
        if (c->parentColor())
            c->adoptParentColor();
    }
}

void TWinControl::applyFont()
{
    if (!widget_)
        return;
    if (inheritsFont()) {
        // Qt hands the parent's font down by itself; setting the same font on every child
        // again costs start-up time for nothing.
        if (widget_->testAttribute(Qt::WA_SetFont))
            widget_->setFont(QFont());
    } else {
        widget_->setFont(font().toQFont());
    }
    applyPalette();
}

void TWinControl::applyPalette()
{
    if (!widget_)
        return;
    QPalette pal; // nothing set: every role comes from the parent
    if (!inheritsFont()) {
        const QColor c = toQColor(font().color());
        // Disabled controls keep the style's grey text, whatever colour their font has.
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            for (QPalette::ColorRole role :
                 {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                pal.setColor(group, role, c);
        }
    }
    if (colorRole() != QPalette::NoRole)
        pal.setColor(colorRole(), toQColor(color()));
    if (pal.resolveMask() != 0 || widget_->testAttribute(Qt::WA_SetPalette))
        widget_->setPalette(pal);
}

bool TWinControl::inheritsFont() const
{
    return parentFont() && parent();
}

} // namespace forms
