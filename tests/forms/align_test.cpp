// Aligned controls: placed along their parent's edges, and placed again when it is resized.

#include "forms/panel.h"
#include "qtprinters.h"
#include "testapplication.h"
#include "testform.h"

#include <QResizeEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace forms;

namespace {

// Top2 comes first in the definition but lies lower, so it is placed below Top1.
constexpr std::string_view definition = R"(object Form1: TTestForm
  ClientWidth = 300
  ClientHeight = 200
  object Client: TPanel
    Left = 5
    Top = 5
    Width = 10
    Height = 10
    Align = alClient
  end
  object Top2: TPanel
    Top = 50
    Height = 20
    Align = alTop
  end
  object Top1: TPanel
    Top = 0
    Height = 10
    Align = alTop
  end
  object Bottom: TPanel
    Height = 30
    Align = alBottom
  end
  object Left: TPanel
    Width = 40
    Align = alLeft
  end
  object Right: TPanel
    Width = 50
    Align = alRight
  end
  object Free: TPanel
    Left = 7
    Top = 8
    Width = 9
    Height = 10
  end
end
)";

struct Aligned : ::testing::Test, TestApplication {
    TTestForm* form = nullptr;
    TControl* Top1 = nullptr;
    TControl* Top2 = nullptr;
    TControl* Bottom = nullptr;
    TControl* Left = nullptr;
    TControl* Right = nullptr;
    TWinControl* Client = nullptr;
    TControl* Free = nullptr;

    void SetUp() override
    {
        form = new TTestForm(&app, definition);
        auto find = [this](const char* name) {
            return dynamic_cast<TWinControl*>(form->findComponent(QString::fromLatin1(name)));
        };
        Top1 = find("Top1");
        Top2 = find("Top2");
        Bottom = find("Bottom");
        Left = find("Left");
        Right = find("Right");
        Client = find("Client");
        Free = find("Free");
    }

    void expectPlaces(int w, int h)
    {
        EXPECT_EQ(Top1->boundsRect(), QRect(0, 0, w, 10));
        EXPECT_EQ(Top2->boundsRect(), QRect(0, 10, w, 20));
        EXPECT_EQ(Bottom->boundsRect(), QRect(0, h - 30, w, 30));
        EXPECT_EQ(Left->boundsRect(), QRect(0, 30, 40, h - 60));
        EXPECT_EQ(Right->boundsRect(), QRect(w - 50, 30, 50, h - 60));
        EXPECT_EQ(Client->boundsRect(), QRect(40, 30, w - 90, h - 60));
        EXPECT_EQ(Client->widget()->geometry(), Client->boundsRect());
        EXPECT_EQ(Free->boundsRect(), QRect(7, 8, 9, 10)) << "unaligned stays put";
    }
};

TEST_F(Aligned, TakeTheirEdgesInOrder)
{
    expectPlaces(300, 200);
}

TEST_F(Aligned, FollowTheClientSizeSetInCode)
{
    form->setClientWidth(400);
    form->setClientHeight(150);
    expectPlaces(400, 150);
}

TEST_F(Aligned, FollowTheWindowResizedByTheUser)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->widget()));
    form->widget()->resize(500, 260);
    EXPECT_EQ(form->clientWidth(), 500);
    EXPECT_EQ(form->clientHeight(), 260);
    expectPlaces(500, 260);
}

TEST_F(Aligned, KeepTheirOwnSizeWhenTheWindowShrinksAndGrowsAgain)
{
    form->setClientHeight(20);
    EXPECT_EQ(Client->height(), 0) << "no room left, never a negative size";
    form->setClientHeight(200);
    expectPlaces(300, 200);
}

TEST_F(Aligned, AHiddenControlGivesUpItsRoom)
{
    Top1->hide();
    EXPECT_EQ(Top2->boundsRect(), QRect(0, 0, 300, 20));
    EXPECT_EQ(Client->top(), 20);
    Top1->show();
    expectPlaces(300, 200);
}

TEST_F(Aligned, AnAlignedControlMovedByCodeReturnsToItsEdge)
{
    Client->setBounds(1, 2, 3, 4);
    EXPECT_EQ(Client->boundsRect(), QRect(40, 30, 210, 140));
    Top1->setHeight(15);
    EXPECT_EQ(Top2->top(), 15) << "the next one moves down";
    Client->setAlign(TAlign::alNone);
    Client->setBounds(1, 2, 3, 4);
    EXPECT_EQ(Client->boundsRect(), QRect(1, 2, 3, 4));
}

} // namespace
