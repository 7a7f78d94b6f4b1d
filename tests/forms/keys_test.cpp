#include "forms/combobox.h"
#include "forms/keys.h"
#include "forms/richedit.h"
#include "forms/timer.h"
#include "qtprinters.h"
#include "testapplication.h"
#include "testform.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QWindow>

#include <gtest/gtest.h>

using namespace forms;

namespace {

struct KeyCase {
    const char* name;
    int qtKey;
    quint32 scanCode; // X11 key code (Linux input code + 8); 0 where the platform gives none
    std::uint16_t expected;
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

class VirtualKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(VirtualKeys, NamePhysicalKeys)
{
    EXPECT_EQ(virtualKeyFromQt(GetParam().qtKey, GetParam().scanCode), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VirtualKeys,
    ::testing::Values(KeyCase{"Letter", Qt::Key_E, 0, 'E'},
                      // Shift+1 is the key '1', whatever character the layout puts on it.
                      KeyCase{"ShiftedDigitByScanCode", Qt::Key_Exclam, 10, '1'},
                      KeyCase{"ShiftedDigitWithoutScanCode", Qt::Key_Exclam, 0, '1'},
                      KeyCase{"GermanShift7IsTheKey7", Qt::Key_Slash, 16, '7'},
                      KeyCase{"ShiftAlone", Qt::Key_Shift, 50, vkShift},
                      KeyCase{"ArrowByScanCode", Qt::Key_Left, 113, vkLeft},
                      KeyCase{"FunctionKey", Qt::Key_F5, 71, 0x74},
                      KeyCase{"Umlaut", Qt::Key_Adiaeresis, 0, 0xDE},
                      KeyCase{"NumpadStar", Qt::Key_Asterisk, 63, 0x6A},
                      // A key with no code of its own still gets one, so 0 can mean "swallowed".
                      KeyCase{"UnknownKey", Qt::Key_Launch0, 0, vkUnknown}),
    [](const auto& info) { return std::string(info.param.name); });

// A window with a text area and a box whose key handlers record every key and can swallow them.
struct KeyWindow : ::testing::Test, TestApplication {
    std::unique_ptr<TTestForm> form;
    TRichEdit* edit = nullptr;
    TComboBox* combo = nullptr;
    TButton* exit = nullptr;
    std::vector<std::pair<std::uint16_t, TShiftState>> seen;
    bool swallow = false;

    void SetUp() override
    {
        form = std::make_unique<TTestForm>(&app, R"(object Form1: TTestForm
  ClientWidth = 300
  ClientHeight = 200
  object Edit: TRichEdit
    Width = 200
    Height = 100
  end
  object Combo: TComboBox
    Top = 120
    Width = 100
    Height = 21
    Items.Strings = ('one' 'two')
  end
  object Exit: TButton
    Left = 200
    Top = 120
    Width = 75
    Height = 25
    Caption = '&Exit'
    OnClick = Clicked
  end
end
)");
        edit = dynamic_cast<TRichEdit*>(form->findComponent(QStringLiteral("Edit")));
        combo = dynamic_cast<TComboBox*>(form->findComponent(QStringLiteral("Combo")));
        exit = dynamic_cast<TButton*>(form->findComponent(QStringLiteral("Exit")));
        const TKeyEvent record = [this](TObject*, std::uint16_t& key, TShiftState shift) {
            seen.emplace_back(key, shift);
            if (swallow)
                key = 0;
        };
        edit->onKeyDown = record;
        combo->onKeyDown = record;
        form->show();
        QApplication::setActiveWindow(form->widget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form->widget()));
    }

    void type(TWinControl* target, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        target->setFocus();
        seen.clear();
        // Through the window, as the platform delivers keys: shortcuts get their chance.
        QTest::keyClick(form->widget()->windowHandle(), key, modifiers);
    }
};

TEST_F(KeyWindow, EveryKeyReachesTheHandlerOnce)
{
    struct Press {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::vector<std::pair<std::uint16_t, TShiftState>> expected;
    };
    const std::vector<Press> presses = {
        {Qt::Key_A, {}, {{'A', 0}}},
        {Qt::Key_Down, {}, {{0x28, 0}}},
        {Qt::Key_F5, {}, {{0x74, 0}}},
        {Qt::Key_Shift, {}, {{vkShift, ssShift}}},
        {Qt::Key_B, Qt::ShiftModifier, {{vkShift, ssShift}, {'B', ssShift}}},
        {Qt::Key_Tab, Qt::ControlModifier, {{vkControl, ssCtrl}, {vkTab, ssCtrl}}},
    };
    for (TWinControl* target :
         {static_cast<TWinControl*>(edit), static_cast<TWinControl*>(combo)}) {
        for (const Press& p : presses) {
            type(target, p.key, p.modifiers);
            EXPECT_EQ(seen, p.expected) << target->name().toStdString() << " key " << p.key;
        }
    }
}

TEST_F(KeyWindow, TabMovesTheFocusWithoutReachingTheHandler)
{
    type(edit, Qt::Key_Tab);
    EXPECT_TRUE(seen.empty());
    EXPECT_FALSE(edit->focused());
}

TEST_F(KeyWindow, CtrlTabTypesATab)
{
    type(edit, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(edit->plainText(), QStringLiteral("\t"));
    EXPECT_TRUE(edit->focused());
}

TEST_F(KeyWindow, ASwallowedKeyIsNotTyped)
{
    swallow = true;
    for (Qt::Key key : {Qt::Key_A, Qt::Key_Exclam, Qt::Key_Adiaeresis, Qt::Key_Launch0})
        type(edit, key);
    EXPECT_EQ(edit->plainText(), QString());
}

TEST_F(KeyWindow, AMnemonicReachesTheFocusedControlFirst)
{
    type(edit, Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(seen,
              (std::vector<std::pair<std::uint16_t, TShiftState>>{{vkMenu, ssAlt}, {'E', ssAlt}}));
    // A mnemonic presses the button at once and clicks it when the press has been shown.
    EXPECT_TRUE(exit->button()->isDown());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !form->calls.empty(); }, 5000));
    EXPECT_EQ(form->calls, (std::vector<std::string>{"click Exit"}));

    swallow = true;
    type(edit, Qt::Key_E, Qt::AltModifier);
    EXPECT_FALSE(exit->button()->isDown()) << "a swallowed key is no shortcut either";
}

TEST_F(KeyWindow, ATimerHandlerMayDestroyItsOwnWindow)
{
    auto* timer = new TTimer(form.get());
    timer->setOnTimer([this](TObject*) { form.reset(); });
    time.advance(std::chrono::milliseconds(1000));
    EXPECT_EQ(form, nullptr);
}

} // namespace
