#pragma once

#include "privatepulseserver.h"
#include "processes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

// A test against a private PulseAudio server, started before and stopped after each test.
// Skipped only when pulseaudio itself is not installed; any other missing piece fails.
class PrivatePulseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!onPath("pulseaudio"))
            GTEST_SKIP() << "pulseaudio is not installed (scripts/setup installs it)";
        ASSERT_TRUE(onPath("parec") && onPath("pactl"))
            << "pulseaudio-utils is not installed (scripts/setup installs it)";
        const std::optional<std::string> failure = pulse.start();
        ASSERT_FALSE(failure) << *failure;
    }

    void TearDown() override { EXPECT_TRUE(pulse.stop()) << "pulseaudio did not end within 10 s"; }

    PrivatePulseServer pulse;
};
