#include "app/MarlixApplication.h"

#include "platform/ErrorDisplay.h"

marlix::Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

bool marlix::Application::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const marlix::Error &error) {
        marlix::showError(activeWindow(), error.text());
    } catch (const std::exception &error) {
        marlix::showError(activeWindow(), QString::fromLocal8Bit(error.what()));
    } catch (...) {
        marlix::showError(activeWindow(), QStringLiteral("Unexpected error"));
    }
    return false;
}
