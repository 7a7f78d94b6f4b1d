#pragma once

#include "forms/application.h"
#include "forms/virtualtime.h"
#include "recordingmessageboxes.h"
#include "scriptedopenfiledialogs.h"

// The real application object for widget tests, on virtual time, with recorded boxes and a
// scripted open-file dialog, so no test ever waits on a real modal box.
struct TestApplication {
    forms::VirtualTime time;
    RecordingMessageBoxes boxes;
    ScriptedOpenFileDialogs dialogs;
    int argc = 1;
    char name[8] = "test";
    char* argv[2] = {name, nullptr};
    forms::TApplication app{argc, argv, {&boxes, &time.scheduler(), &dialogs}};
};
