#pragma once

#include "Forms.h"

#include <QCoreApplication>
#include <QTimer>
#include <exception>

// Runs a handler on behalf of the message loop: an exception that leaves it
// ends the handler and goes to the application's default exception display.
template <class F> void Guarded(F&& handler)
{
    try {
        handler();
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
}

// The same for painting, where a modal box must not open inside the paint:
// the exception is shown once the paint has ended.
template <class F> void GuardedPaint(F&& handler)
{
    try {
        handler();
    } catch (...) {
        QTimer::singleShot(0, QCoreApplication::instance(),
                           [e = std::current_exception()] { Application->HandleException(e); });
    }
}
