#include "forms/application.h"
#include "forms/exception.h"
#include "forms/panel.h"
#include "forms/progressbar.h"
#include "forms/timer.h"
#include "forms/virtualtime.h"
#include "qtprinters.h"
#include "recordingmessageboxes.h"
#include "testform.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace forms;
using namespace std::chrono_literals;

namespace {

QString readError(const std::string& definition, const FormClass& cls = TTestForm::defaultClass())
{
    try {
        TTestForm form(nullptr, definition, cls);
    } catch (const Exception& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

struct BrokenCase {
    const char* name;
    std::string definition;
    const char* message;
};

void PrintTo(const BrokenCase& c, std::ostream* os)
{
    *os << c.name;
}

class BrokenDefinition : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenDefinition, FailsNamingControlAndProperty)
{
    EXPECT_EQ(readError(GetParam().definition).toStdString(), GetParam().message);
}

std::string wrap(const std::string& body)
{
    return "object Form1: TTestForm\n" + body + "end\n";
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenDefinition,
    ::testing::Values(
        BrokenCase{"UnknownClass", wrap("  object X: TFoo\n  end\n"),
                   "Fehler beim Lesen von Form1.X: Klasse TFoo nicht gefunden"},
        BrokenCase{"UnknownProperty", wrap("  object Label1: TLabel\n    Colour = clRed\n  end\n"),
                   "Fehler beim Lesen von Label1.Colour: Eigenschaft Colour existiert nicht"},
        BrokenCase{"PropertyOfAnotherClass", wrap("  object T: TTimer\n    Caption = 'x'\n  end\n"),
                   "Fehler beim Lesen von T.Caption: Eigenschaft Caption existiert nicht"},
        BrokenCase{"WrongValueKind", wrap("  object Label1: TLabel\n    Left = 'ten'\n  end\n"),
                   "Fehler beim Lesen von Label1.Left: Ungültiger Eigenschaftswert"},
        BrokenCase{"UnknownEnum", wrap("  BorderStyle = bsRound\n"),
                   "Fehler beim Lesen von Form1.BorderStyle: Ungültiger Eigenschaftswert"},
        BrokenCase{"UnknownSetMember",
                   wrap("  object Label1: TLabel\n    Font.Style = [fsBold, fsBlink]\n  end\n"),
                   "Fehler beim Lesen von Label1.Font.Style: Ungültiger Eigenschaftswert"},
        BrokenCase{"OutOfRange", wrap("  object P: TProgressBar\n    Max = 70000\n  end\n"),
                   "Fehler beim Lesen von P.Max: Ungültiger Eigenschaftswert"},
        BrokenCase{"UnknownHandler",
                   wrap("  object Button1: TButton\n    OnClick = Button1Click\n  end\n"),
                   "Fehler beim Lesen von Button1.OnClick: Methode Button1Click nicht gefunden"},
        BrokenCase{"HandlerOfTheWrongKind",
                   wrap("  object Button1: TButton\n    OnKeyDown = Clicked\n  end\n"),
                   "Fehler beim Lesen von Button1.OnKeyDown: Methode Clicked passt nicht zu "
                   "diesem Ereignis"},
        BrokenCase{"UnresolvedReference", wrap("  ActiveControl = Ghost\n"),
                   "Fehler beim Lesen von Form1.ActiveControl: Komponente Ghost nicht gefunden"},
        BrokenCase{"ReferenceToANonWindow",
                   wrap("  ActiveControl = L\n  object L: TLabel\n  end\n"),
                   "Fehler beim Lesen von Form1.ActiveControl: Ungültiger Eigenschaftswert"},
        BrokenCase{"ControlInsideAButton",
                   wrap("  object Button1: TButton\n    object Inner: TLabel\n    end\n  end\n"),
                   "Fehler beim Lesen von Button1.Inner: Steuerelement Button1 kann keine "
                   "anderen Steuerelemente enthalten"},
        BrokenCase{"ControlInsideATimer",
                   wrap("  object T: TTimer\n    object Inner: TButton\n    end\n  end\n"),
                   "Fehler beim Lesen von T.Inner: Steuerelement T kann keine anderen "
                   "Steuerelemente enthalten"},
        BrokenCase{"DuplicateName", wrap("  object A: TLabel\n  end\n  object a: TButton\n  end\n"),
                   "Fehler beim Lesen von Form1.a: Eine Komponente mit der Bezeichnung a "
                   "existiert bereits"},
        BrokenCase{"RootOfAnotherClass", "object Form1: TOtherForm\nend\n",
                   "Fehler beim Lesen von Form1.TOtherForm: Klasse TOtherForm nicht gefunden"},
        BrokenCase{"BrokenIcon", wrap("  Icon.Xpm = ('32 32 2 1' '. c None')\n"),
                   "Fehler beim Lesen von Form1.Icon.Xpm: Ungültiger Eigenschaftswert"},
        BrokenCase{"IconHeaderOverflowing",
                   wrap("  Icon.Xpm = ('1 1 2147483647 1' '. c None' '.')\n"),
                   "Fehler beim Lesen von Form1.Icon.Xpm: Ungültiger Eigenschaftswert"},
        BrokenCase{"IconRowsTooShort", wrap("  Icon.Xpm = ('4 2 1 1' '. c None' '....' '..')\n"),
                   "Fehler beim Lesen von Form1.Icon.Xpm: Ungültiger Eigenschaftswert"},
        BrokenCase{"SyntaxError", "object Form1: TTestForm\n  Left 10\nend\n",
                   "Ungültiges Formularformat (Zeile 2, Spalte 8): expected '=' after property "
                   "name, found number '10'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Reader, MembersAreBoundByNameAndMustAllBePresentWithTheirClass)
{
    const FormClass withFields = TTestForm::withHandlers(FormClass(QStringLiteral("TTestForm")))
                                     .field(QStringLiteral("Button1"), &TTestForm::Button1)
                                     .field(QStringLiteral("Label1"), &TTestForm::Label1);

    TTestForm form(nullptr,
                   wrap("  object Label1: TLabel\n  end\n  object Button1: TButton\n  end\n"),
                   withFields);
    ASSERT_TRUE(form.Button1 && form.Label1);
    EXPECT_EQ(form.Button1->name(), QStringLiteral("Button1"));

    EXPECT_EQ(
        readError(wrap("  object Button1: TButton\n  end\n"), withFields),
        QStringLiteral("Fehler beim Lesen von Form1.Label1: Komponente Label1 nicht gefunden"));
    EXPECT_EQ(
        readError(wrap("  object Label1: TButton\n  end\n  object Button1: TButton\n  end\n"),
                  withFields),
        QStringLiteral("Fehler beim Lesen von Form1.Label1: Komponente Label1 hat nicht die Klasse "
                       "des Formularfelds"));
}

TEST(Reader, CreatesInDefinitionOrderWithParentsAndStacking)
{
    TTestForm form(nullptr, wrap(R"(  object Back: TButton
    Left = 10
    Top = 10
    Width = 80
    Height = 30
  end
  object P: TPanel
    Left = 0
    Top = 0
    Width = 200
    Height = 100
    object Inner: TButton
      Left = 5
      Top = 6
      Width = 7
      Height = 8
    end
  end
  object T: TTimer
  end
)"));
    std::vector<QString> names;
    for (TComponent* c : form.components())
        names.push_back(c->name());
    EXPECT_EQ(names, (std::vector<QString>{QStringLiteral("Back"), QStringLiteral("P"),
                                           QStringLiteral("Inner"), QStringLiteral("T")}));

    auto* panel = dynamic_cast<TPanel*>(form.findComponent(QStringLiteral("P")));
    auto* inner = dynamic_cast<TButton*>(form.findComponent(QStringLiteral("Inner")));
    auto* back = dynamic_cast<TButton*>(form.findComponent(QStringLiteral("Back")));
    ASSERT_TRUE(panel && inner && back);
    EXPECT_EQ(inner->parent(), panel);
    EXPECT_EQ(inner->widget()->parentWidget(), panel->widget());
    EXPECT_EQ(inner->widget()->geometry(), QRect(5, 6, 7, 8));
    // The later panel lies above the earlier button where they overlap.
    EXPECT_EQ(form.widget()->childAt(20, 20), panel->widget());
}

TEST(Reader, ReferencesResolveAfterTheTreeExists)
{
    TTestForm form(nullptr, wrap("  ActiveControl = Later\n  object Later: TButton\n  end\n"));
    ASSERT_NE(form.activeControl(), nullptr);
    EXPECT_EQ(form.activeControl()->name(), QStringLiteral("Later"));
}

TEST(Reader, FontsAreInheritedUntilAControlSetsItsOwn)
{
    TTestForm form(nullptr, wrap(R"(  Font.Name = 'MS Sans Serif'
  Font.Height = -11
  object Plain: TLabel
  end
  object Own: TLabel
    Font.Height = -21
    Font.Style = [fsBold]
  end
)"));
    auto* plain = dynamic_cast<TLabel*>(form.findComponent(QStringLiteral("Plain")));
    auto* own = dynamic_cast<TLabel*>(form.findComponent(QStringLiteral("Own")));
    EXPECT_TRUE(plain->parentFont());
    EXPECT_FALSE(own->parentFont());
    EXPECT_EQ(own->font().name(), QStringLiteral("MS Sans Serif"))
        << "the rest comes from the parent";
    EXPECT_EQ(own->font().height(), -21);

    form.font().setHeight(-13);
    EXPECT_EQ(plain->font().height(), -13);
    EXPECT_EQ(own->font().height(), -21);
}

TEST(Reader, EventsAreBoundToTheFormsHandlers)
{
    TTestForm form(nullptr, wrap(R"(  object Button1: TButton
    Width = 75
    Height = 25
    OnClick = Clicked
    OnKeyDown = KeyDown
  end
)"));
    form.show();
    auto* button = dynamic_cast<TButton*>(form.findComponent(QStringLiteral("Button1")));
    QTest::mouseClick(button->widget(), Qt::LeftButton);
    QTest::keyClick(button->widget(), Qt::Key_A, Qt::ShiftModifier);
    // Shift alone is a key of its own, as the platform reports it.
    EXPECT_EQ(form.calls, (std::vector<std::string>{"click Button1", "key 16 1", "key 65 1"}));
}

TEST(Reader, ATimerEnabledInTheDefinitionCountsFromItsBinding)
{
    VirtualTime time;
    TTestForm form(nullptr, wrap("  object T: TTimer\n    OnTimer = Ticked\n  end\n"));
    time.advance(999ms);
    EXPECT_TRUE(form.calls.empty());
    time.advance(1ms);
    EXPECT_EQ(form.calls, (std::vector<std::string>{"tick"}));
}

TEST(Reader, AFailedReadLeavesNothingBehind)
{
    // Controls created before the failure belong to the form and go with it.
    const std::string broken = wrap("  object A: TButton\n  end\n  object B: TBogus\n  end\n");
    EXPECT_NE(readError(broken), QStringLiteral("(no error)"));
}

} // namespace
