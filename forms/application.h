#pragma once

#include "forms/clock.h"
#include "forms/component.h"
#include "forms/scheduler.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class QApplication;
class QTimer;

namespace forms {

class Exception;
class MessageBoxes;
class OpenFileDialogs;
class PopupMenus;
class TForm;

// What tests replace: the message boxes (a recording fake) and the scheduler (virtual time).
struct ApplicationServices {
    MessageBoxes* messageBoxes = nullptr;
    Scheduler* scheduler = nullptr;
    OpenFileDialogs* openFileDialogs = nullptr;
    PopupMenus* popupMenus = nullptr;
};

// The application object: owns the windows, runs the message loop and reports failures.
class TApplication : public TComponent {
public:
    using Services = ApplicationServices;

    // Whether the program looks at the switches an object server is started with.
    enum class CommandLine { Ignored, ServerSwitches };

    // With ServerSwitches, a registration switch ends the start-up before it begins: the
    // toolkit is not started, so no display is needed; initialize() and createForm() do
    // nothing, run() returns at once, and the program ends with code 0 having written
    // nothing, as there is nothing of ours to register.
    TApplication(int& argc, char** argv, Services services = {},
                 CommandLine commandLine = CommandLine::Ignored);
    ~TApplication() override;

    // Gives every window the same look and font before the first one is created.
    void initialize();
    // Whether a registration switch ended the start-up: the toolkit was not started.
    bool registrationOnly() const { return registrationOnly_; }
    // The arguments after the program's name as the program was given them, including those
    // the toolkit takes for itself (-display, -platform).
    const std::vector<std::string>& arguments() const { return arguments_; }

    const QString& title() const { return title_; }
    void setTitle(const QString& title);

    // Creates a window from its definition. The first one created is the main window.
    template <typename Form> void createForm(Form*& reference)
    {
        if (registrationOnly_)
            return;
        auto* form = new Form(this);
        reference = form;
        if (!mainForm_)
            mainForm_ = form;
    }

    TForm* mainForm() const { return mainForm_; }

    // Shows the main window and runs the message loop until terminate() is taken.
    void run();

    // Only posts the request: the caller runs on to its end, and the loop stops when it next
    // looks for work.
    void terminate();
    bool terminated() const { return terminated_; }

    // The error box: the message and a full stop, captioned with the title, OK, stop icon.
    // A failure that arrives while a report is open is not stacked on top of it.
    void handleException(const Exception& e);
    bool isReporting() const { return reporting_; }

    MessageBoxes& messageBoxes() { return *messageBoxes_; }
    Scheduler& scheduler() { return *scheduler_; }
    OpenFileDialogs& openFileDialogs() { return *openFileDialogs_; }
    PopupMenus& popupMenus() { return *popupMenus_; }

    // Closes the windows and destroys them with their controls.
    void destroyForms();

private:
    std::unique_ptr<QApplication> ownedQt_;
    std::unique_ptr<MessageBoxes> ownedBoxes_;
    MessageBoxes* messageBoxes_;
    std::unique_ptr<OpenFileDialogs> ownedOpenFileDialogs_;
    OpenFileDialogs* openFileDialogs_;
    std::unique_ptr<PopupMenus> ownedPopupMenus_;
    PopupMenus* popupMenus_;
    std::unique_ptr<SteadyClock> ownedClock_;
    std::unique_ptr<Scheduler> ownedScheduler_;
    Scheduler* scheduler_;
    Scheduler* previousScheduler_;
    QTimer* wakeTimer_ = nullptr;
    std::vector<std::string> arguments_;
    QString title_;
    TForm* mainForm_ = nullptr;
    bool registrationOnly_ = false;
    bool terminated_ = false;
    bool reporting_ = false;
};

// The program's one application object, as handlers and the dispatch point reach it.
extern TApplication* Application;

// Reports a failure that escaped start-up the way the runtime does, and returns the exit code.
int abnormalTermination(const std::exception& e);

} // namespace forms
