#pragma once

#include "core/common/Error.h"

#include <QString>
#include <exception>

class QWidget;

namespace marlix {

// The application title, the caption of the program's messages.
inline QString applicationTitle() {
    return QStringLiteral("Marlix");
}

// The application's general error display: a critical message box with the application title
// as its caption and the error's text.
void showError(QWidget *parent, const QString &text);

// A message with an OK button only, captioned with the application title.
void showMessage(QWidget *parent, const QString &text);

// Runs one user action. An error ends the action and reaches the error display; the program
// then goes on with the next action. Returns false when the action failed.
template <class Action> bool guarded(QWidget *parent, Action &&action) {
    try {
        action();
        return true;
    } catch (const Error &error) {
        showError(parent, error.text());
    } catch (const std::exception &error) {
        showError(parent, QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace marlix
