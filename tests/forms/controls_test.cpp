// Control behaviour that windows rely on after they have been read.

#include "forms/edit.h"
#include "forms/label.h"
#include "forms/panel.h"
#include "forms/progressbar.h"
#include "qtprinters.h"
#include "testapplication.h"
#include "testform.h"

#include <QLineEdit>
#include <QProgressBar>

#include <gtest/gtest.h>

using namespace forms;

namespace {

const char* kWindow = R"(object Form1: TTestForm
  Left = 100
  Top = 50
  ClientWidth = 300
  ClientHeight = 200
  BorderStyle = bsSingle
  Font.Height = -11
  ActiveControl = E
  object P: TPanel
    Width = 200
    Height = 100
    object E: TEdit
      Width = 80
      Height = 21
    end
  end
  object L: TLabel
    Top = 150
    Width = 50
    Height = 13
    Caption = 'Stored'
  end
end
)";

struct ControlsFixture : ::testing::Test, TestApplication {
    TTestForm form{&app, kWindow};
    template <typename T> T* get(const char* name)
    {
        return dynamic_cast<T*>(form.findComponent(QString::fromLatin1(name)));
    }
};

TEST_F(ControlsFixture, AFormMovedAtRunTimeKeepsItsSize)
{
    form.setTop(200);
    form.setLeft(10);
    EXPECT_EQ(form.widget()->pos(), QPoint(10, 200));
    EXPECT_EQ(form.widget()->size(), QSize(300, 200));
    EXPECT_EQ(form.clientWidth(), 300);
    EXPECT_GE(form.width(), 300) << "the outer size includes the frame";
}

TEST_F(ControlsFixture, TheActiveControlIsForgottenWhenItGoes)
{
    ASSERT_EQ(form.activeControl(), get<TEdit>("E"));
    delete get<TEdit>("E");
    EXPECT_EQ(form.activeControl(), nullptr);
    form.show(); // must not reach for the destroyed control
}

TEST_F(ControlsFixture, AControlTakenOffItsWindowDoesNotBecomeAWindow)
{
    auto* edit = get<TEdit>("E");
    form.show();
    edit->setParent(nullptr);
    EXPECT_FALSE(edit->widget()->isVisible());
}

TEST_F(ControlsFixture, ParentFontSwitchesTakeEffect)
{
    auto* edit = get<TEdit>("E");
    edit->setParentFont(false);
    form.font().setHeight(-20);
    EXPECT_EQ(edit->widget()->font().pixelSize(), 11) << "its own font stays";
    edit->setParentFont(true);
    EXPECT_EQ(edit->font().height(), -20);
    EXPECT_EQ(edit->widget()->font().pixelSize(), 20);
}

TEST_F(ControlsFixture, LabelsSizeThemselvesOnceRead)
{
    auto* stored = get<TLabel>("L");
    EXPECT_EQ(stored->boundsRect().size(), QSize(50, 13));
    stored->setCaption(QString());
    EXPECT_GT(stored->width(), 0) << "an empty caption is as wide as a blank";
    EXPECT_GT(stored->height(), 0);

    TLabel made(&form); // created at run time: sizes itself from the start
    made.setParent(&form);
    made.setCaption(QStringLiteral("two\nlines"));
    EXPECT_EQ(made.boundsRect().size(), made.textExtent());
    EXPECT_GT(made.height(), stored->height());
}

TEST(ProgressBarRange, AnEmptyRangeShowsAnEmptyBar)
{
    TProgressBar bar(nullptr);
    bar.setMax(0);
    EXPECT_EQ(bar.position(), 0);
    EXPECT_GT(bar.progressBar()->maximum(), bar.progressBar()->minimum())
        << "an equal minimum and maximum would be Qt's busy animation";
    EXPECT_EQ(bar.progressBar()->value(), bar.progressBar()->minimum());
}

} // namespace
