#include "platform/ErrorDisplay.h"

#include "platform/Prompts.h"

namespace marlix {

void showError(QWidget *parent, const QString &text) {
    Prompts::message(parent, QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok);
}

void showMessage(QWidget *parent, const QString &text) {
    Prompts::message(parent, QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok);
}

} // namespace marlix
