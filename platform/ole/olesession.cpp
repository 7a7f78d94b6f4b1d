#include "platform/ole/olesession.h"

#include <QGuiApplication>
#include <QScreen>

#include <cassert>
#include <cmath>

namespace platform::ole {

namespace {
OleSession* session = nullptr;
}

OleSession::OleSession()
{
    assert(!session && "one object-linking session per program");
    session = this;
}

OleSession::~OleSession()
{
    if (session == this)
        session = nullptr;
}

OleSession* OleSession::current()
{
    return session;
}

void OleSession::readScreenResolution()
{
    // Without a started GUI application there is no screen, and asking Qt for one is not safe.
    if (resolutionRead_ || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return; // no display yet: keep the classic 96 and read again when asked
    resolutionRead_ = true;
    // The logical resolution is what the desktop lays out text with, as the platform's was.
    pixelsPerInchX_ = int(std::lround(screen->logicalDotsPerInchX()));
    pixelsPerInchY_ = int(std::lround(screen->logicalDotsPerInchY()));
}

} // namespace platform::ole
