#include "forms/application.h"
#include "forms/exception.h"
#include "forms/scheduler.h"
#include "forms/timer.h"
#include "forms/virtualtime.h"
#include "testapplication.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace forms;
using namespace std::chrono_literals;

namespace {

// A timer whose ticks are counted, on virtual time.
struct TimerFixture : ::testing::Test {
    VirtualTime time;
    TTimer timer{nullptr};
    std::vector<long> ticks; // virtual milliseconds of each tick

    void count()
    {
        timer.setOnTimer([this](TObject*) { ticks.push_back(long(time.now().count())); });
    }
};

TEST_F(TimerFixture, TicksEveryIntervalOnVirtualTime)
{
    count();
    time.advance(3500ms);
    EXPECT_EQ(ticks, (std::vector<long>{1000, 2000, 3000}));
}

TEST_F(TimerFixture, RunsOnlyWhenEnabledWithAHandlerAndAnInterval)
{
    EXPECT_FALSE(timer.isRunning()) << "no handler yet";
    count();
    EXPECT_TRUE(timer.isRunning());
    timer.setInterval(0);
    EXPECT_FALSE(timer.isRunning());
    timer.setInterval(1000);
    timer.setEnabled(false);
    EXPECT_FALSE(timer.isRunning());
}

TEST_F(TimerFixture, EnablingAnEnabledTimerDoesNotRestartIt)
{
    count();
    time.advance(700ms);
    timer.setEnabled(true);
    time.advance(400ms);
    EXPECT_EQ(ticks, (std::vector<long>{1000}));
}

TEST_F(TimerFixture, ReEnablingStartsAFreshInterval)
{
    count();
    time.advance(700ms);
    timer.setEnabled(false);
    timer.setEnabled(true);
    time.advance(1000ms);
    EXPECT_EQ(ticks, (std::vector<long>{1700}));
}

TEST_F(TimerFixture, HandlerCanStopItsOwnTimer)
{
    timer.setOnTimer([this](TObject*) {
        ticks.push_back(long(time.now().count()));
        timer.setEnabled(false);
    });
    time.advance(5000ms);
    EXPECT_EQ(ticks, (std::vector<long>{1000}));
}

TEST(Scheduler, SlowHandlersDoNotMakeTicksDriftAndMissedTicksMerge)
{
    ManualClock clock;
    Scheduler scheduler(clock);
    std::vector<long> ticks;
    scheduler.start(1000ms, [&] { ticks.push_back(long(clock.now().count())); });

    clock.set(1000ms);
    scheduler.runDue();
    clock.set(1700ms); // the handler took 700 ms
    EXPECT_EQ(scheduler.nextDue(), 2000ms);

    clock.set(4500ms); // the thread was busy for several intervals
    scheduler.runDue();
    EXPECT_EQ(ticks, (std::vector<long>{1000, 4500})) << "missed ticks come as one";
    EXPECT_EQ(scheduler.nextDue(), 5000ms);
}

TEST(Scheduler, EarliestDueFiresFirstAndEachAtMostOncePerRun)
{
    ManualClock clock;
    Scheduler scheduler(clock);
    std::string order;
    scheduler.start(300ms, [&] { order += 'a'; });
    scheduler.start(100ms, [&] { order += 'b'; });
    clock.set(300ms);
    scheduler.runDue();
    EXPECT_EQ(order, "ba");
}

TEST(Scheduler, StoppingInsideAHandlerKeepsTheRunningHandlerAlive)
{
    ManualClock clock;
    Scheduler scheduler(clock);
    Scheduler::Id self = 0;
    int calls = 0;
    std::string captured = "still here";
    self = scheduler.start(100ms, [&, captured] {
        scheduler.stop(self);
        ++calls;
        EXPECT_EQ(captured, "still here");
    });
    clock.set(1000ms);
    scheduler.runDue();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(scheduler.nextDue());
}

TEST(Scheduler, WakerLearnsTheEarliestDue)
{
    ManualClock clock;
    Scheduler scheduler(clock);
    std::optional<Clock::Duration> woken;
    scheduler.setWaker([&](std::optional<Clock::Duration> due) { woken = due; });
    const auto a = scheduler.start(500ms, [] {});
    scheduler.start(200ms, [] {});
    EXPECT_EQ(woken, 200ms);
    scheduler.stop(a);
    EXPECT_EQ(woken, 200ms);
}

// A failing tick is reported like any other failure, the timer keeps running, and while the
// error box is open further failures do not stack more boxes on it.
TEST(TimerFailure, IsReportedOnceWhileTheBoxIsOpenAndTheTimerRunsOn)
{
    TestApplication t;
    VirtualTime& time = t.time;
    RecordingMessageBoxes& boxes = t.boxes;
    t.app.setTitle(QStringLiteral("Tappit"));

    TTimer timer(nullptr);
    int attempts = 0;
    timer.setOnTimer([&](TObject*) {
        ++attempts;
        throw Exception(QStringLiteral("Datei SYC.ini kann nicht geöffnet werden"));
    });
    // The box stays open for three seconds of ticks.
    boxes.whileOpen = [&] {
        boxes.whileOpen = nullptr;
        time.advance(3000ms);
    };

    time.advance(1000ms);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(attempts, 4);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Datei SYC.ini kann nicht geöffnet werden."));
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("Tappit"));
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Stop);

    EXPECT_TRUE(timer.enabled());
    time.advance(1000ms);
    EXPECT_EQ(attempts, 5);
    EXPECT_EQ(boxes.shown.size(), 2u) << "once the box is closed, the next failure is shown";
}

} // namespace
