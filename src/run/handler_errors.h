#pragma once

#include <QString>
#include <functional>

// An error that escapes a handler run from the event loop is shown to the
// user in one place, and the program carries on with the next event instead
// of ending.

// Runs a handler; an error it raises goes to the reporter.
void RunGuarded(const std::function<void()>& handler);

// Who shows such an error; the main window registers itself.
void SetErrorReporter(std::function<void(const QString& text)> reporter);
void ReportError(const QString& text);
