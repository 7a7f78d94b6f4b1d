#include "forms/application.h"
#include "forms/virtualtime.h"
#include "qtprinters.h"
#include "tappit/tappitmain.h"
#include "tappitapplication.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QTest>
#include <QTextEdit>
#include <QWindow>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace forms;
using namespace std::chrono_literals;

namespace {

// The real window on virtual time: a whole one-minute test runs in milliseconds.
struct TypingTest : TappitApplication {
    TypingTest()
    {
        EXPECT_TRUE(startTappit());
        // The start-up load replaces the text one second in; it has tests of its own.
        form->Timer3->setEnabled(false);
    }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(form->widget()->windowHandle(), key, modifiers);
    }

    void advanceTo(std::chrono::milliseconds at)
    {
        time.advance(at - std::chrono::duration_cast<std::chrono::milliseconds>(time.now()));
    }

    bool finished() const
    {
        return form->RichEdit1->readOnly() && form->Label1->caption() == u"Test Complete";
    }
};

struct TimingCase {
    const char* name;
    int barAtStart;
    std::vector<int> keysAtMs; // the first one starts the clock
    int firstTickMs;
    int endMs;
};

class TypingTestTiming : public ::testing::TestWithParam<TimingCase>, public TypingTest {};

TEST_P(TypingTestTiming, EndsOnTheTickThatFindsTheBarAt59)
{
    const TimingCase& c = GetParam();
    form->ProgressBar1->setPosition(c.barAtStart);
    std::size_t next = 0;
    // Runs virtual time up to `at`, pressing a key at each of the case's key times on the way.
    const auto runTo = [&](int at) {
        for (; next < c.keysAtMs.size() && c.keysAtMs[next] <= at; ++next) {
            advanceTo(std::chrono::milliseconds(c.keysAtMs[next]));
            press(Qt::Key_A);
            EXPECT_EQ(form->Label1->caption(), u"Test Started");
            EXPECT_EQ(form->Label1->font().color(), 0x008000u);
        }
        advanceTo(std::chrono::milliseconds(at));
    };

    runTo(c.firstTickMs - 1);
    EXPECT_EQ(form->ProgressBar1->position(), c.barAtStart) << "ticked early: clock restarted?";
    if (c.firstTickMs < c.endMs) {
        runTo(c.firstTickMs);
        EXPECT_EQ(form->ProgressBar1->position(), c.barAtStart >= 100 ? 0 : c.barAtStart + 1);
    }

    runTo(c.endMs - 1);
    EXPECT_FALSE(finished()) << "ended early";
    EXPECT_EQ(form->ProgressBar1->position(), 59);
    runTo(c.endMs);
    ASSERT_TRUE(finished());
    EXPECT_EQ(form->Label1->font().color(), 0x0000FFu);
    EXPECT_FALSE(form->Timer1->enabled());
    EXPECT_EQ(form->ProgressBar1->position(), 60) << "the ending tick still steps the bar";
    const int typed = int(c.keysAtMs.size());
    EXPECT_EQ(form->RichEdit1->plainText(), QString(typed, u'a'));
    EXPECT_EQ(form->Label2->caption(), QStringLiteral("1 Words Per Minute"));
}

INSTANTIATE_TEST_SUITE_P(
    Clock, TypingTestTiming,
    ::testing::Values(TimingCase{"FromZero", 0, {0}, 1000, 60000},
                      TimingCase{"StartedLate", 0, {2500}, 3500, 62500},
                      TimingCase{"KeyDuringTheTest", 0, {0, 30500}, 1000, 60000},
                      TimingCase{"KeyJustBeforeATick", 0, {0, 900, 59999}, 1000, 60000},
                      TimingCase{"BarAt59", 59, {0}, 1000, 1000},
                      TimingCase{"BarAbove59WrapsAfter100", 95, {0}, 1000, 66000},
                      TimingCase{"BarAt100", 100, {0}, 1000, 61000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TypingTestEnd, KeysAfterTheEndChangeNothing)
{
    TypingTest t;
    t.press(Qt::Key_H);
    t.press(Qt::Key_I);
    t.time.advance(60s);
    ASSERT_TRUE(t.finished());
    EXPECT_EQ(t.form->Label2->caption(), u"1 Words Per Minute");

    for (Qt::Key key : {Qt::Key_Space, Qt::Key_X, Qt::Key_Backspace, Qt::Key_Return})
        t.press(key);
    t.time.advance(120s);
    EXPECT_EQ(t.form->RichEdit1->plainText(), u"hi");
    EXPECT_EQ(t.form->Label1->caption(), u"Test Complete");
    EXPECT_EQ(t.form->Label2->caption(), u"1 Words Per Minute");
    EXPECT_EQ(t.form->ProgressBar1->position(), 60);
    EXPECT_FALSE(t.form->Timer1->enabled());
}

TEST(TypingTestEnd, EmptyAreaShowsZero)
{
    TypingTest t;
    t.press(Qt::Key_Shift);
    t.time.advance(60s);
    ASSERT_TRUE(t.finished());
    EXPECT_EQ(t.form->Label2->caption(), u"0 Words Per Minute");
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool starts;
    const char16_t* typed;
};

class TypingTestKeys : public ::testing::TestWithParam<KeyCase>, public TypingTest {};

TEST_P(TypingTestKeys, StartTheClockUnlessTheyMoveTheFocus)
{
    const KeyCase& c = GetParam();
    press(c.key, c.modifiers);
    EXPECT_EQ(form->Timer1->enabled(), c.starts);
    EXPECT_EQ(form->Label1->caption() == u"Test Started", c.starts);
    // The handler sees the key before the area and leaves it alone: the area still types it.
    EXPECT_EQ(form->RichEdit1->plainText(), QString::fromUtf16(c.typed));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TypingTestKeys,
    ::testing::Values(KeyCase{"Letter", Qt::Key_Q, Qt::NoModifier, true, u"q"},
                      KeyCase{"ShiftAlone", Qt::Key_Shift, Qt::ShiftModifier, true, u""},
                      KeyCase{"ControlAlone", Qt::Key_Control, Qt::ControlModifier, true, u""},
                      KeyCase{"Arrow", Qt::Key_Left, Qt::NoModifier, true, u""},
                      KeyCase{"FunctionKey", Qt::Key_F5, Qt::NoModifier, true, u""},
                      KeyCase{"Space", Qt::Key_Space, Qt::NoModifier, true, u" "},
                      KeyCase{"CtrlTab", Qt::Key_Tab, Qt::ControlModifier, true, u"\t"},
                      KeyCase{"Tab", Qt::Key_Tab, Qt::NoModifier, false, u""},
                      // Shift goes down first and reaches the area; the Tab then moves on.
                      KeyCase{"ShiftTab", Qt::Key_Backtab, Qt::ShiftModifier, true, u""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TypingTestKeys, ReadOnlyAreaDoesNotStart)
{
    TypingTest t;
    t.form->RichEdit1->setReadOnly(true);
    t.press(Qt::Key_A);
    EXPECT_FALSE(t.form->Timer1->enabled());
    EXPECT_NE(t.form->Label1->caption(), u"Test Started");
}

struct CountCase {
    const char* name;
    QString text;
    bool wordWrap;
    int words;
};

// How many characters of `ch` fit on one line of the area, at its real width and font.
int charsPerLine(const TForm1& form, QChar ch)
{
    const QTextEdit* edit = form.RichEdit1->textEdit();
    const qreal width = edit->viewport()->width() - 2 * edit->document()->documentMargin();
    return int(width / QFontMetricsF(edit->font()).horizontalAdvance(ch));
}

class WordCount : public ::testing::TestWithParam<CountCase>, public TypingTest {};

TEST_P(WordCount, CountsRunsOfAsciiLettersAndDigitsAsDisplayed)
{
    const CountCase& c = GetParam();
    form->RichEdit1->setWordWrap(c.wordWrap);
    QString text = c.text;
    const int line = charsPerLine(*form, u'x');
    text.replace(QStringLiteral("<one and a half lines>"), QString(line * 3 / 2, u'x'));
    form->RichEdit1->setPlainText(text);
    EXPECT_EQ(form->CalculateTappit(), c.words);
}

QString repeated(const QString& unit, int times)
{
    return unit.repeated(times);
}

INSTANTIATE_TEST_SUITE_P(
    Text, WordCount,
    ::testing::Values(CountCase{"Apostrophe", u"don't stop"_qs, true, 3},
                      CountCase{"DigitsAndHyphen", u"abc123 x-ray"_qs, true, 3},
                      CountCase{"TwoShort", u"I am"_qs, true, 2},
                      CountCase{"AccentAtTheEnd", u"café"_qs, true, 1},
                      CountCase{"AccentInside", u"naïve"_qs, true, 2},
                      CountCase{"Empty", QString(), true, 0},
                      CountCase{"OnlySeparators", u" \t.,;\n\n-"_qs, true, 0},
                      CountCase{"LinesAndTabs", u"one\ntwo\tthree\n\n4five\n"_qs, true, 4},
                      CountCase{"WordsAcrossLineEnds", u"end\nstart"_qs, true, 2},
                      CountCase{"NonAsciiLettersSeparate", u"ΑΒΓ über straße"_qs, true, 3},
                      CountCase{"WordBrokenInsideByTheArea", u"<one and a half lines>"_qs, true, 2},
                      CountCase{"WordsWrappedWhole", repeated(u"word "_qs, 60), true, 60},
                      CountCase{"UnwrappedLineCutAt4096", repeated(u"ab "_qs, 1400), false, 1366},
                      CountCase{"WrappedLongLineIsNotCut", repeated(u"ab "_qs, 1400), true, 1400}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WordCountHidden, WrapsAtTheAreaWidthBeforeTheWindowWasEverShown)
{
    // The start-up load fills the area before anything is shown; the count must not depend on
    // whether a resize has reached the hidden edit yet.
    TestApplication t;
    t.app.initialize();
    TForm1* form = nullptr;
    t.app.createForm(form);
    ASSERT_FALSE(form->widget()->isVisible());
    form->RichEdit1->setPlainText(QString(200, u'x'));
    const int hidden = form->CalculateTappit();
    form->show();
    EXPECT_EQ(hidden, form->CalculateTappit());
    EXPECT_GT(hidden, 1) << "a 200-character word does not fit one line of the area";
}

} // namespace
