#include "forms/application.h"

#include "forms/exception.h"
#include "forms/font.h"
#include "forms/form.h"
#include "forms/messageboxes.h"
#include "forms/popupmenus.h"
#include "forms/programtitle.h"
#include "forms/qtopenfiledialogs.h"
#include "forms/serverswitch.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTimer>

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <thread>

namespace forms {

TApplication* Application = nullptr;

TApplication::TApplication(int& argc, char** argv, Services services, CommandLine commandLine)
    : TComponent(nullptr)
    , previousScheduler_(&Scheduler::current())
{
    // Qt removes the arguments it takes for itself; the program's own rules see them all.
    for (int i = 1; i < argc; ++i)
        arguments_.emplace_back(argv[i] ? argv[i] : "");
    // Installers run the registration switches without any display, where Qt would abort at
    // start-up; so they are decided before Qt is started.
    if (commandLine == CommandLine::ServerSwitches) {
        const std::vector<std::string_view> views(arguments_.begin(), arguments_.end());
        const ServerSwitch found = findServerSwitch(views);
        registrationOnly_ = found == ServerSwitch::RegServer || found == ServerSwitch::UnregServer;
        terminated_ = registrationOnly_;
    }
    if (!registrationOnly_ && !QApplication::instance()) {
        // Reading the font configuration is the largest single cost of showing the first window.
        // It needs nothing from Qt, so it runs while Qt connects to the display.
        std::thread warmFonts([] { FcInit(); });
        ownedQt_ = std::make_unique<QApplication>(argc, argv);
        warmFonts.join();
    }
    if (!registrationOnly_)
        QApplication::setQuitOnLastWindowClosed(false);

    if (services.messageBoxes) {
        messageBoxes_ = services.messageBoxes;
    } else {
        ownedBoxes_ = std::make_unique<QtMessageBoxes>();
        messageBoxes_ = ownedBoxes_.get();
    }

    if (services.openFileDialogs) {
        openFileDialogs_ = services.openFileDialogs;
    } else {
        ownedOpenFileDialogs_ = std::make_unique<QtOpenFileDialogs>();
        openFileDialogs_ = ownedOpenFileDialogs_.get();
    }

    if (services.popupMenus) {
        popupMenus_ = services.popupMenus;
    } else {
        ownedPopupMenus_ = std::make_unique<QtPopupMenus>();
        popupMenus_ = ownedPopupMenus_.get();
    }

    if (services.scheduler) {
        scheduler_ = services.scheduler;
    } else {
        ownedClock_ = std::make_unique<SteadyClock>();
        ownedScheduler_ = std::make_unique<Scheduler>(*ownedClock_);
        scheduler_ = ownedScheduler_.get();
        // The event loop drives the timers: one precise single-shot timer for the earliest tick.
        wakeTimer_ = new QTimer;
        wakeTimer_->setSingleShot(true);
        wakeTimer_->setTimerType(Qt::PreciseTimer);
        QObject::connect(wakeTimer_, &QTimer::timeout, [this] { scheduler_->runDue(); });
        scheduler_->setWaker([this](std::optional<Clock::Duration> due) {
            if (!due) {
                wakeTimer_->stop();
                return;
            }
            const auto wait =
                std::max<Clock::Duration::rep>(0, (*due - ownedClock_->now()).count());
            wakeTimer_->start(int(std::min<Clock::Duration::rep>(wait, INT32_MAX)));
        });
    }
    Scheduler::setCurrent(scheduler_);
    Application = this;
    // A program that sets no title of its own is named after the file it was started from.
    setTitle(titleFromFileName(runningExecutable(argc > 0 ? argv[0] : nullptr)));
}

TApplication::~TApplication()
{
    destroyForms();
    if (ownedScheduler_)
        ownedScheduler_->setWaker(nullptr);
    delete wakeTimer_;
    Scheduler::setCurrent(previousScheduler_);
    if (Application == this)
        Application = nullptr;
}

void TApplication::initialize()
{
    if (registrationOnly_)
        return;
    // One look on every desktop, so the windows match their definitions wherever they run.
    if (auto* style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);
    // Controls are created before they are placed on their window; with the class library's
    // default font as the application's, they never lay out text in a font nobody asked for.
    QApplication::setFont(TFont().toQFont());
}

void TApplication::setTitle(const QString& title)
{
    title_ = title;
    // The task bar and the window class (WM_CLASS, app id) name the program by its title; the
    // window captions stay exactly as the windows set them.
    QCoreApplication::setApplicationName(title);
    QGuiApplication::setDesktopFileName(title.toLower());
}

void TApplication::run()
{
    if (mainForm_)
        mainForm_->show();
    if (!terminated_)
        QApplication::exec();
}

void TApplication::terminate()
{
    terminated_ = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void TApplication::handleException(const Exception& e)
{
    if (reporting_)
        return;
    reporting_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{reporting_};
    messageBoxes_->show(e.message() + u'.', title_, MessageBoxes::Stop, MessageBoxes::Ok);
}

void TApplication::destroyForms()
{
    mainForm_ = nullptr;
    destroyComponents();
}

int abnormalTermination(const std::exception& e)
{
    std::fprintf(stderr, "Abnormal program termination\n%s\n", e.what());
    return 3;
}

} // namespace forms
