#pragma once

#include "forms/application.h"
#include "forms/virtualtime.h"
#include "recordingmessageboxes.h"

// The real application object for widget tests, on virtual time and with recorded boxes.
struct TestApplication {
    forms::VirtualTime time;
    RecordingMessageBoxes boxes;
    int argc = 1;
    char name[8] = "test";
    char* argv[2] = {name, nullptr};
    forms::TApplication app{argc, argv, {&boxes, &time.scheduler()}};
};
