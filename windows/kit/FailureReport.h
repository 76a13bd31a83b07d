// How a failed user action reaches the user: one stop-icon message box with an OK button,
// captioned with the program's file name, shown once the handler of the action has been left.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <exception>
#include <functional>

// Shows the box now. Every box of the program goes through here.
void ShowFailureBox(QWidget* parent, const QString& text);

// A box with what the user should know after a command, shown from the event loop once the
// handler has been left. Captured like the failure boxes.
void ReportNoticesLater(QWidget* window, const QStringList& notices);

// Tests capture the boxes instead of showing them; pass nullptr to show them again.
void SetFailureBoxCapture(std::function<void(const QString&)> capture);

// Runs a handler's body. A file error or an exhausted allocation ends it; its box is shown as
// soon as the window's event loop runs again, with flags and buttons left as the body left them.
void RunUserAction(QWidget* window, const std::function<void()>& body);

// The box for a failure that has already ended its action, shown from the event loop.
void ReportFailureLater(QWidget* window, const std::exception_ptr& failure);
