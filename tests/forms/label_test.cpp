#include "forms/label.h"
#include "forms/panel.h"
#include "testform.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace forms;

namespace {

const char* kDefinition = R"(object Form1: TTestForm
  ClientWidth = 200
  ClientHeight = 100
  Color = clWhite
  object L: TLabel
    Left = 10
    Top = 10
    Width = 78
    Height = 24
    Caption = 'Package:'
    Color = clYellow
  end
  object P: TPanel
    Left = 50
    Top = 0
    Width = 100
    Height = 50
    Color = clBlue
    BevelOuter = bvNone
  end
end
)";

TEST(Label, KeepsItsStoredSizeUntilItsCaptionOrFontFirstChanges)
{
    TTestForm form(nullptr, kDefinition);
    auto* label = dynamic_cast<TLabel*>(form.findComponent(QStringLiteral("L")));
    EXPECT_EQ(label->boundsRect(), QRect(10, 10, 78, 24));

    label->setCaption(QStringLiteral("42 Words Per Minute"));
    EXPECT_EQ(label->boundsRect().topLeft(), QPoint(10, 10));
    EXPECT_EQ(label->boundsRect().size(), label->textExtent());
    EXPECT_GT(label->width(), 78);

    const int before = label->height();
    label->font().setHeight(-30);
    EXPECT_GT(label->height(), before);
}

TEST(Label, IsPaintedOpaqueByItsParentBeneathWindowedSiblings)
{
    TTestForm form(nullptr, kDefinition);
    form.widget()->resize(200, 100);
    const QImage image = form.widget()->grab().toImage();
    // Inside the label, left of the panel: the label's own colour fills its rectangle.
    EXPECT_EQ(image.pixelColor(12, 30), QColor(Qt::yellow));
    // Where the panel overlaps the label, the panel is on top.
    EXPECT_EQ(image.pixelColor(60, 30), QColor(Qt::blue));
    // Outside both: the form's colour.
    EXPECT_EQ(image.pixelColor(5, 80), QColor(Qt::white));
}

} // namespace
