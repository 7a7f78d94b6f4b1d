// The recording object as its container uses it: its picture's size, its verbs, the sound and
// the server's window, with a sound output that only writes down what it was asked.

#include "fakes.h"
#include "objectbytes.h"
#include "platform/ole/oleerror.h"
#include "platform/ole/serverwindow.h"
#include "platform/ole/waveformview.h"
#include "platform/ole/wavesoundobject.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

using namespace platform::ole;
using namespace oletest;
using ::testing::ElementsAre;

namespace {

// Five seconds of a tone, so positions and the length read as minutes and seconds.
constexpr double seconds = 5.0;
constexpr std::size_t sampleBytes = std::size_t(seconds * 44100) * 2;
const std::string played = "played " + std::to_string(sampleBytes) + " bytes at 44100";

class SoundObject : public ::testing::Test {
protected:
    SoundObject()
        : storage(soundObjectStorage(toneSamples(440, seconds)))
    {
        object.emplace(readObjectStreams(storage), site, std::make_unique<FakeSoundOutput>(log));
        object->setHostNames(u"Sondrel", u"OleContainer1");
    }

    // Lets queued calls from other threads arrive.
    static void deliver() { QCoreApplication::processEvents(); }

    MemoryStorage storage;
    RecordingSite site;
    FakeSoundOutput::Log log;
    std::optional<WaveSoundObject> object;
};

TEST_F(SoundObject, ItsExtentIsThePicturesForTheCachedAspectOnly)
{
    EXPECT_EQ(object->extent(Content), QSize(846, 846));
    try {
        object->extent(Icon);
        FAIL();
    } catch (const OleError& error) {
        EXPECT_EQ(error.code(), codes::InvalidArgument);
    }
}

TEST_F(SoundObject, OffersPlayThenOpenBothForTheContainersMenu)
{
    const std::vector<Verb> verbs = object->verbs();
    ASSERT_EQ(verbs.size(), 2u);
    EXPECT_EQ(verbs[0].id, 0);
    EXPECT_EQ(verbs[0].name, "&Wiedergeben");
    EXPECT_EQ(verbs[0].attributes, Verb::NeverDirties | Verb::OnContainerMenu);
    EXPECT_EQ(verbs[1].id, 1);
    EXPECT_EQ(verbs[1].name, "Ö&ffnen");
    EXPECT_EQ(verbs[1].attributes, unsigned(Verb::OnContainerMenu));
    for (const Verb& verb : verbs)
        EXPECT_EQ(verb.menuFlags, 0u);
}

TEST_F(SoundObject, ThePrimaryVerbPlaysTheWholeRecordingAndANewPlayStartsOver)
{
    object->doVerb(Primary, site, nullptr, {});
    EXPECT_TRUE(object->isPlaying());
    object->doVerb(Primary, site, nullptr, {});
    EXPECT_THAT(log.calls, ElementsAre(played, played));
    EXPECT_TRUE(site.calls.empty()) << "playing opens no window";
}

TEST_F(SoundObject, ASoundThatEndsByItselfStopsPlaying)
{
    object->doVerb(Primary, site, nullptr, {});
    std::thread([this] { log.ended(SoundOutput::End::Finished, {}); }).join();
    EXPECT_TRUE(object->isPlaying()) << "the news arrives on the user-interface thread";
    deliver();
    EXPECT_FALSE(object->isPlaying());
    EXPECT_TRUE(site.calls.empty());
}

TEST_F(SoundObject, NoSoundOutputFailsTheVerbWithTheReason)
{
    log.failure = "Keine Tonausgabe: kein Sound-Server erreichbar";
    try {
        object->doVerb(Primary, site, nullptr, {});
        FAIL();
    } catch (const OleError& error) {
        EXPECT_EQ(error.code(), codes::ServerFailed);
        EXPECT_STREQ(error.what(), "Keine Tonausgabe: kein Sound-Server erreichbar");
    }
    EXPECT_FALSE(object->isPlaying());
}

TEST_F(SoundObject, AFailureWhilePlayingReachesTheSiteOnItsOwnThread)
{
    object->doVerb(Primary, site, nullptr, {});
    std::thread([this] { log.ended(SoundOutput::End::Failed, "Die Wiedergabe brach ab"); }).join();
    EXPECT_TRUE(site.calls.empty());
    deliver();
    ASSERT_THAT(site.calls, ElementsAre("error " + std::to_string(codes::ServerFailed) +
                                        " Die Wiedergabe brach ab"));
    EXPECT_EQ(site.threads[0], std::this_thread::get_id());
    EXPECT_FALSE(object->isPlaying());
}

TEST_F(SoundObject, NewsOfASoundCutOffSinceIsDropped)
{
    object->doVerb(Primary, site, nullptr, {});
    const SoundOutput::EndHandler first = log.ended;
    object->doVerb(Primary, site, nullptr, {});
    std::thread([&] { first(SoundOutput::End::Failed, "alt"); }).join();
    deliver();
    EXPECT_TRUE(site.calls.empty());
    EXPECT_TRUE(object->isPlaying());
}

class ShowVerbs : public SoundObject, public ::testing::WithParamInterface<int> {};

TEST_P(ShowVerbs, OpenTheServersWindowOnce)
{
    object->doVerb(GetParam(), site, nullptr, {});
    object->doVerb(GetParam(), site, nullptr, {});
    EXPECT_THAT(site.calls, ElementsAre("window open"));
    ASSERT_TRUE(object->window());
    EXPECT_TRUE(object->window()->isVisible());
    EXPECT_TRUE(object->window()->isWindow());
    EXPECT_EQ(object->window()->windowTitle(), "Wavesound in OleContainer1 - Sondrel");
    EXPECT_TRUE(log.calls.empty()) << "opening plays nothing";
}

INSTANTIATE_TEST_SUITE_P(Verbs, ShowVerbs,
                         ::testing::Values(int(WaveSoundObject::OpenWindow), int(Show), int(Open)));

TEST_F(SoundObject, ClosingTheWindowTellsTheContainer)
{
    object->doVerb(WaveSoundObject::OpenWindow, site, nullptr, {});
    object->window()->close();
    EXPECT_FALSE(object->window()->isVisible());
    EXPECT_THAT(site.calls, ElementsAre("window open", "window closed"));
    object->doVerb(Show, site, nullptr, {});
    EXPECT_THAT(site.calls, ElementsAre("window open", "window closed", "window open"));
}

TEST_F(SoundObject, TheHideVerbHidesTheWindow)
{
    object->doVerb(Hide, site, nullptr, {});
    EXPECT_TRUE(site.calls.empty()) << "nothing to hide";
    object->doVerb(Show, site, nullptr, {});
    object->doVerb(Hide, site, nullptr, {});
    EXPECT_FALSE(object->window()->isVisible());
    EXPECT_THAT(site.calls, ElementsAre("window open", "window closed"));
}

class UnknownVerbs : public SoundObject, public ::testing::WithParamInterface<int> {};

TEST_P(UnknownVerbs, AreRefused)
{
    try {
        object->doVerb(GetParam(), site, nullptr, {});
        FAIL();
    } catch (const OleError& error) {
        EXPECT_EQ(error.code(), codes::InvalidVerb);
    }
    EXPECT_TRUE(log.calls.empty());
    EXPECT_TRUE(site.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Verbs, UnknownVerbs, ::testing::Values(2, 99, -4, -5, -7, INT32_MIN));

TEST_F(SoundObject, CloseStopsTheSoundAndClosesTheWindowOnce)
{
    object->doVerb(Show, site, nullptr, {});
    object->doVerb(Primary, site, nullptr, {});
    object->close(OleObject::SaveOption::NoSave);
    object->close(OleObject::SaveOption::NoSave);
    EXPECT_FALSE(object->isPlaying());
    EXPECT_FALSE(object->window()->isVisible());
    EXPECT_THAT(site.calls, ElementsAre("window open", "window closed"));
    EXPECT_THAT(log.calls, ElementsAre(played, "stop", "stop"));
}

TEST_F(SoundObject, GoingAwayStopsTheSoundBeforeItsOutputEnds)
{
    object->doVerb(Primary, site, nullptr, {});
    object.reset();
    EXPECT_THAT(log.calls, ElementsAre(played, "stop", "destroyed"));
}

TEST_F(SoundObject, TheWindowsButtonPlaysAndStops)
{
    object->doVerb(Show, site, nullptr, {});
    QPushButton* button = object->window()->playButton();
    EXPECT_EQ(button->text(), "Wiedergabe");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(object->isPlaying());
    EXPECT_EQ(button->text(), "Stopp");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(object->isPlaying());
    EXPECT_EQ(button->text(), "Wiedergabe");
    EXPECT_THAT(log.calls, ElementsAre(played, "stop"));
}

TEST_F(SoundObject, TheWindowsButtonReportsAMissingSoundOutputToTheContainer)
{
    object->doVerb(Show, site, nullptr, {});
    log.failure = "Keine Tonausgabe";
    QTest::mouseClick(object->window()->playButton(), Qt::LeftButton);
    EXPECT_THAT(site.calls,
                ElementsAre("window open",
                            "error " + std::to_string(codes::ServerFailed) + " Keine Tonausgabe"));
    EXPECT_EQ(object->window()->playButton()->text(), "Wiedergabe");
}

TEST_F(SoundObject, TheWindowFollowsThePlayedFrames)
{
    object->doVerb(Show, site, nullptr, {});
    object->doVerb(Primary, site, nullptr, {});
    log.frames = 3 * 44100 + 100;
    object->refreshPosition();
    EXPECT_EQ(object->window()->positionLabel()->text(), "0:03 / 0:05");
    WaveformView* view = object->window()->waveform();
    EXPECT_EQ(view->cursorFrame(), log.frames);
    EXPECT_EQ(view->cursorColumn(), int(log.frames * std::uint64_t(view->width()) / 220500));
}

struct PositionCase {
    std::uint64_t frame;
    std::uint64_t frames;
    const char* text;
};

class PositionTexts : public ::testing::TestWithParam<PositionCase> {};

TEST_P(PositionTexts, MinutesAndWholeSeconds)
{
    EXPECT_EQ(ServerWindow::positionText(GetParam().frame, GetParam().frames, 44100),
              GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, PositionTexts,
                         ::testing::Values(PositionCase{0, 7511375, "0:00 / 2:50"},
                                           PositionCase{42 * 44100 + 44099, 7511375, "0:42 / 2:50"},
                                           PositionCase{7511375, 7511375, "2:50 / 2:50"},
                                           PositionCase{9999999, 7511375, "2:50 / 2:50"},
                                           PositionCase{0, 0, "0:00 / 0:00"},
                                           PositionCase{0, 600 * 44100, "0:00 / 10:00"}));

TEST_F(SoundObject, NoticesAreKeptPerConnection)
{
    const std::uint32_t a = object->dataAdvise(site);
    const std::uint32_t b = object->dataAdvise(site);
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    object->dataUnadvise(a);
    object->dataUnadvise(a); // already gone: nothing to fail at while unloading
    object->setViewAdvise(Content, &site);
    object->setViewAdvise(Content, nullptr);
    object->setContainedObject(true);
    EXPECT_TRUE(object->isContained());
    EXPECT_TRUE(site.calls.empty());
}

TEST_F(SoundObject, NamesLeftEmptyLeaveTheTitleShort)
{
    object->setHostNames(u"", u"");
    object->doVerb(Show, site, nullptr, {});
    EXPECT_EQ(object->window()->windowTitle(), "Wavesound");
    object->setHostNames(u"Sondrel", u"");
    EXPECT_EQ(object->window()->windowTitle(), "Wavesound - Sondrel");
}

} // namespace
