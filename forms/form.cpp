#include "forms/form.h"

#include "forms/application.h"
#include "forms/definition/reader.h"
#include "forms/formwidget.h"

#include <QWindow>

#include <algorithm>

namespace forms {

TForm::TForm(TComponent* owner)
    : TWinControl(owner)
    , window_(new FormWidget(this))
{
    setParentFont(false); // a window's font is its own
    setWidget(window_);
    window_->setAttribute(Qt::WA_QuitOnClose, false);
    setVisible(false);
    applyWindowFlags();
    applyGeometry();
}

TForm::~TForm()
{
    destroyComponents();
}

void TForm::setClientWidth(int width)
{
    clientSize_.setWidth(std::max(0, width));
    syncOuterSize();
}

void TForm::setClientHeight(int height)
{
    clientSize_.setHeight(std::max(0, height));
    syncOuterSize();
}

QSize TForm::frameExtra() const
{
    // Before the window manager has framed the window its frame is unknown; until then assume
    // the classic frame that outer sizes in definitions were made with.
    if (window_->isVisible()) {
        const QRect frame = window_->frameGeometry();
        const QRect client = window_->geometry();
        return {frame.width() - client.width(), frame.height() - client.height()};
    }
    if (borderStyle_ == BorderStyle::None)
        return {0, 0};
    return {8, 34};
}

void TForm::syncOuterSize()
{
    const QSize outer = clientSize_ + frameExtra();
    TControl::setBounds(left(), top(), outer.width(), outer.height());
    applyGeometry();
    realign();
}

void TForm::clientResized(QSize size)
{
    if (size == clientSize_)
        return;
    clientSize_ = size;
    const QSize outer = clientSize_ + frameExtra();
    TControl::setBounds(left(), top(), outer.width(), outer.height());
    realign();
}

void TForm::setBounds(int left, int top, int width, int height)
{
    const bool resized = width != this->width() || height != this->height();
    TControl::setBounds(left, top, width, height);
    if (resized) {
        const QSize extra = frameExtra();
        clientSize_ =
            QSize(std::max(0, width - extra.width()), std::max(0, height - extra.height()));
    }
    applyGeometry();
    if (resized)
        realign();
}

void TForm::applyGeometry()
{
    window_->move(left(), top());
    const bool fixed = borderStyle_ == BorderStyle::Single || borderStyle_ == BorderStyle::Dialog ||
                       borderStyle_ == BorderStyle::ToolWindow || borderStyle_ == BorderStyle::None;
    if (fixed) {
        window_->setFixedSize(clientSize_);
    } else {
        window_->setMinimumSize(0, 0);
        window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window_->resize(clientSize_);
    }
}

void TForm::setBorderStyle(BorderStyle style)
{
    borderStyle_ = style;
    applyWindowFlags();
    applyGeometry();
}

void TForm::setBorderIcons(unsigned icons)
{
    borderIcons_ = icons;
    applyWindowFlags();
}

void TForm::applyWindowFlags()
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
    if (borderStyle_ == BorderStyle::None) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::WindowTitleHint;
        if (borderStyle_ == BorderStyle::ToolWindow || borderStyle_ == BorderStyle::SizeToolWin)
            flags |= Qt::Tool;
        if (borderIcons_ & biSystemMenu) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            const bool dialog = borderStyle_ == BorderStyle::Dialog;
            if ((borderIcons_ & biMinimize) && !dialog)
                flags |= Qt::WindowMinimizeButtonHint;
            // A window that cannot be resized cannot be maximised either.
            if ((borderIcons_ & biMaximize) && !dialog && borderStyle_ != BorderStyle::Single)
                flags |= Qt::WindowMaximizeButtonHint;
            if (borderIcons_ & biHelp)
                flags |= Qt::WindowContextHelpButtonHint;
        }
    }
    const bool wasVisible = window_->isVisible();
    window_->setWindowFlags(flags);
    if (wasVisible)
        window_->show();
}

void TForm::setActiveControl(TWinControl* control)
{
    activeControl_ = control;
    if (control && window_->isVisible())
        control->setFocus();
}

void TForm::setIcon(const QIcon& icon)
{
    icon_ = icon;
    window_->setWindowIcon(icon);
}

void TForm::textChanged()
{
    window_->setWindowTitle(caption());
}

void TForm::visibleChanged()
{
    if (isLoading())
        return; // a window shown by its definition appears once it has been read
    window_->setVisible(visible());
}

void TForm::show()
{
    setVisible(true);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void TForm::shown()
{
    if (activeControl_ && activeControl_->canFocus())
        activeControl_->setFocus();
}

void TForm::close()
{
    if (Application && Application->mainForm() == this)
        Application->terminate();
    else
        hide();
}

void TForm::loaded()
{
    TWinControl::loaded();
    buildTabOrder();
    if (visible())
        show();
}

void TForm::readDefinition(std::string_view text, const FormClass& formClass)
{
    definition::Reader().read(*this, formClass, text);
}

void TForm::buildTabOrder()
{
    std::vector<QWidget*> chain;
    auto collect = [&chain](auto&& self, const TWinControl& container) -> void {
        std::vector<TWinControl*> children;
        for (TControl* c : container.controls()) {
            if (auto* w = dynamic_cast<TWinControl*>(c))
                children.push_back(w);
        }
        // Controls without an order of their own follow, in definition order.
        std::stable_sort(children.begin(), children.end(), [](TWinControl* a, TWinControl* b) {
            const unsigned ka = unsigned(a->tabOrder());
            const unsigned kb = unsigned(b->tabOrder());
            return ka < kb;
        });
        for (TWinControl* child : children) {
            if (child->tabStop())
                chain.push_back(child->widget());
            if (child->acceptsControls())
                self(self, *child);
        }
    };
    collect(collect, *this);
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

} // namespace forms
