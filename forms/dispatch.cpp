#include "forms/dispatch.h"

#include "forms/application.h"
#include "forms/exception.h"

#include <cstdio>

namespace forms {

namespace {

void report(const Exception& e)
{
    if (Application) {
        Application->handleException(e);
    } else {
        std::fprintf(stderr, "%s.\n", qPrintable(e.message()));
    }
}

} // namespace

void dispatch(const std::function<void()>& handler)
{
    // Nothing may unwind into Qt's event delivery, so every failure stops here.
    try {
        handler();
    } catch (const Exception& e) {
        report(e);
    } catch (const std::exception& e) {
        report(Exception(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        report(Exception(QStringLiteral("Unbekannter Fehler")));
    }
}

// Each handler is copied before it runs: it may destroy the control that holds it.
void fire(const TNotifyEvent& event, TObject* sender)
{
    if (event)
        dispatch([handler = event, sender] { handler(sender); });
}

void fire(const TKeyEvent& event, TObject* sender, std::uint16_t& key, TShiftState shift)
{
    if (event)
        dispatch([handler = event, sender, &key, shift] { handler(sender, key, shift); });
}

} // namespace forms
