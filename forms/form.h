#pragma once

#include "forms/wincontrol.h"

#include <QIcon>
#include <QSize>

#include <string_view>

namespace forms {

class FormClass;
class FormWidget;

// A top-level window read from its definition. Left and Top place the frame; ClientWidth and
// ClientHeight size the area inside it.
class TForm : public TWinControl {
public:
    enum class BorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };
    enum BorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };

    explicit TForm(TComponent* owner);
    ~TForm() override;

    bool acceptsControls() const override { return true; }

    int clientWidth() const { return clientSize_.width(); }
    int clientHeight() const { return clientSize_.height(); }
    void setClientWidth(int width);
    void setClientHeight(int height);
    void setBounds(int left, int top, int width, int height) override;
    QRect clientRect() const override { return {QPoint(0, 0), clientSize_}; }
    // The window's client area was resized from outside (by the user or the window manager).
    void clientResized(QSize size);

    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle style);
    unsigned borderIcons() const { return borderIcons_; }
    void setBorderIcons(unsigned icons);

    TWinControl* activeControl() const { return activeControl_; }
    void setActiveControl(TWinControl* control);

    const QIcon& icon() const { return icon_; }
    void setIcon(const QIcon& icon);

    void show();
    // The main window's close ends the program; any other window is only hidden.
    void close();

    void loaded() override;

    // Reads this window's definition: creates its controls, sets their properties and binds
    // their events to this form's handlers. Throws Exception naming the control and property.
    void readDefinition(std::string_view text, const FormClass& formClass);

    void shown();

protected:
    void boundsChanged() override {}
    void visibleChanged() override;
    void textChanged() override;

private:
    void applyWindowFlags();
    void applyGeometry();
    void syncOuterSize();
    void buildTabOrder();
    QSize frameExtra() const;

    FormWidget* window_;
    QSize clientSize_{320, 240};
    BorderStyle borderStyle_ = BorderStyle::Sizeable;
    unsigned borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TWinControl* activeControl_ = nullptr;
    QIcon icon_;
};

} // namespace forms
