// How a program starts: the switches an object server is started with, and the title a program
// takes from its own file name.

#include "forms/application.h"
#include "forms/programtitle.h"
#include "forms/serverswitch.h"
#include "forms/virtualtime.h"
#include "qtprinters.h"
#include "recordingmessageboxes.h"
#include "testform.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace forms;

namespace {

struct SwitchCase {
    const char* name;
    std::vector<std::string_view> arguments;
    ServerSwitch expected;
};

class ServerSwitches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(ServerSwitches, FirstWordFoundDecides)
{
    EXPECT_EQ(findServerSwitch(GetParam().arguments), GetParam().expected);
}

using S = ServerSwitch;
INSTANTIATE_TEST_SUITE_P(
    Table, ServerSwitches,
    ::testing::Values(
        SwitchCase{"none", {}, S::None}, SwitchCase{"slashRegserver", {"/regserver"}, S::RegServer},
        SwitchCase{"dashRegserver", {"-regserver"}, S::RegServer},
        SwitchCase{"upperRegserver", {"/REGSERVER"}, S::RegServer},
        SwitchCase{"mixedUnregserver", {"-UnRegServer"}, S::UnregServer},
        SwitchCase{"automation", {"/Automation"}, S::Automation},
        SwitchCase{"embedding", {"-embedding"}, S::Embedding},
        // Each word is looked for across all arguments before the next word.
        SwitchCase{"embeddingBeforeRegserver", {"/regserver", "/embedding"}, S::Embedding},
        SwitchCase{"automationBeforeEmbedding", {"/embedding", "/automation"}, S::Automation},
        SwitchCase{"regserverBeforeUnregserver", {"/unregserver", "/regserver"}, S::RegServer},
        SwitchCase{"laterArgumentFound", {"file.txt", "-x", "/unregserver"}, S::UnregServer},
        // Only the whole argument counts, with exactly one "-" or "/" before the word.
        SwitchCase{"noPrefix", {"regserver"}, S::None},
        SwitchCase{"otherPrefix", {"+regserver", "\\regserver"}, S::None},
        SwitchCase{"doubleDash", {"--regserver"}, S::None},
        SwitchCase{"doubleSlash", {"//regserver"}, S::None},
        SwitchCase{"longer", {"/regservers", "/regserver=1"}, S::None},
        SwitchCase{"shorter", {"/regserve", "/", "-"}, S::None},
        SwitchCase{"emptyArgument", {""}, S::None},
        // Case is ignored only for ASCII letters: a dotless i does not stand for an I.
        SwitchCase{"nonAsciiLetter", {"/reg\xc4\xb1server"}, S::None},
        SwitchCase{
            "toolkitArgumentsIgnored", {"-platform", "offscreen", "-REGSERVER"}, S::RegServer}),
    [](const auto& info) { return std::string(info.param.name); });

struct TitleCase {
    const char* name;
    const char* path;
    const char* title;
};

class ProgramTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(ProgramTitle, ComesFromTheFileName)
{
    EXPECT_EQ(titleFromFileName(QString::fromUtf8(GetParam().path)),
              QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgramTitle,
    ::testing::Values(TitleCase{"plain", "/usr/bin/Sondrel", "Sondrel"},
                      TitleCase{"upperCase", "/opt/SONDREL", "Sondrel"},
                      TitleCase{"lowerFirstKept", "/usr/bin/sondrel", "sondrel"},
                      TitleCase{"cutAtFirstDot", "/x/SONDREL.EXE.bak", "Sondrel"},
                      TitleCase{"dotInDirectoryIgnored", "/a.b/Tappit", "Tappit"},
                      TitleCase{"noDirectory", "Sondrel", "Sondrel"},
                      TitleCase{"oneLetter", "/bin/X", "X"},
                      TitleCase{"startsWithDot", "/home/.hidden", ""},
                      TitleCase{"nonAsciiLowered", "/bin/ÄÖÜ.exe", "Äöü"}),
    [](const auto& info) { return std::string(info.param.name); });

// An application object started with the arguments given.
struct StartedWith {
    explicit StartedWith(std::vector<std::string> arguments)
        : strings(std::move(arguments))
    {
        for (std::string& s : strings)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        argc = int(strings.size());
    }
    StartedWith(const StartedWith&) = delete;
    StartedWith& operator=(const StartedWith&) = delete;

    std::vector<std::string> strings;
    std::vector<char*> argv;
    int argc;
    VirtualTime time;
    RecordingMessageBoxes boxes;
};

struct Form : TTestForm {
    explicit Form(TComponent* owner)
        : TTestForm(owner, "object Form1: TTestForm\nend\n")
    {}
};

TEST(Startup, RegistrationSwitchEndsBeforeAnyWindow)
{
    StartedWith s({"Sondrel", "-display", ":0", "/RegServer"});
    TApplication app(s.argc, s.argv.data(), {&s.boxes, &s.time.scheduler()},
                     TApplication::CommandLine::ServerSwitches);
    EXPECT_EQ(app.arguments(), (std::vector<std::string>{"-display", ":0", "/RegServer"}));
    // Decided before the toolkit would be started, so that no display is needed.
    EXPECT_TRUE(app.registrationOnly());
    EXPECT_TRUE(app.terminated());

    app.initialize();
    EXPECT_TRUE(app.terminated());
    Form* form = nullptr;
    app.createForm(form);
    EXPECT_EQ(form, nullptr);
    EXPECT_EQ(app.mainForm(), nullptr);
    app.run(); // returns at once: the loop never starts
    EXPECT_TRUE(s.boxes.shown.empty());
}

TEST(Startup, EmbeddingOrNoServerRuleStartsNormally)
{
    struct Case {
        std::vector<std::string> arguments;
        TApplication::CommandLine rule;
    };
    const Case cases[] = {
        {{"Sondrel", "/regserver", "/embedding"}, TApplication::CommandLine::ServerSwitches},
        {{"Sondrel", "-automation", "/unregserver"}, TApplication::CommandLine::ServerSwitches},
        {{"Tappit", "/regserver"}, TApplication::CommandLine::Ignored},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[1]);
        StartedWith s(c.arguments);
        TApplication app(s.argc, s.argv.data(), {&s.boxes, &s.time.scheduler()}, c.rule);
        EXPECT_FALSE(app.registrationOnly());
        app.initialize();
        EXPECT_FALSE(app.terminated());
        Form* form = nullptr;
        app.createForm(form);
        EXPECT_NE(form, nullptr);
        EXPECT_EQ(app.mainForm(), form);
    }
}

TEST(Startup, TitleIsTheRunningProgramsNotArgvZero)
{
    StartedWith s({"/somewhere/OTHER.name"});
    TApplication app(s.argc, s.argv.data(), {&s.boxes, &s.time.scheduler()});
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    EXPECT_EQ(app.title(), titleFromFileName(exe));
    EXPECT_EQ(app.title(), QStringLiteral("forms_test")) << "the first letter is kept as it is";
    EXPECT_EQ(QCoreApplication::applicationName(), app.title());
}

} // namespace
