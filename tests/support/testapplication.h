#pragma once

#include "forms/application.h"
#include "forms/virtualtime.h"
#include "recordingmessageboxes.h"
#include "scriptedopenfiledialogs.h"
#include "scriptedpopupmenus.h"

// The real application object for widget tests, on virtual time, with recorded boxes, a scripted
// open-file dialog and scripted pop-up menus, so no test ever waits on a real modal box.
struct TestApplication {
    forms::VirtualTime time;
    RecordingMessageBoxes boxes;
    ScriptedOpenFileDialogs dialogs;
    ScriptedPopupMenus menus;
    int argc = 1;
    char name[8] = "test";
    char* argv[2] = {name, nullptr};
    forms::TApplication app{argc, argv, {&boxes, &time.scheduler(), &dialogs, &menus}};
};
